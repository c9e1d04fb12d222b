#pragma once
#include <array>
#include <string_view>

#include "core/Window.hpp"

namespace pd {

// A power action that ends a run: its text (as the windows show and store it), the status
// the countdown shows when it acts, and its place in the profile's power commands.
struct PowerAction {
    std::string_view text;
    std::string_view statusAtZero;
};
inline constexpr std::array<PowerAction, 4> powerActions = {{
    {"SHUTDOWN PC", "!!! SHUTTING DOWN !!!"},
    {"RESTART PC", "!!! RESTARTING !!!"},
    {"HIBERNATE PC", "!!! HIBERNATING !!!"},
    {"LOGOFF CURRENT USER", "!!! LOGGING OFF USER !!!"},
}};
// Index of the action with that text in powerActions (and in Profile::powerCommands), or
// -1 when the text names no action (empty, "!!! NO ACTION SET !!!", "!!! ACTION !!!").
int powerActionIndex(std::string_view text);

// PACEDECK_POWER_AUTOTIMER_SETTINGS: chooses the power action that ends a run and the
// length of the last countdown before it.
class PowerAutotimerSettingsWindow final : public Window {
  public:
    explicit PowerAutotimerSettingsWindow(App& app);
    LayoutNode layout() override;

    TickBox SHUTDOWN_TICKBOX{*this, "SHUTDOWN_TICKBOX", {.text = "Shutdown PC"}};
    TickBox RESTART_TICKBOX{*this, "RESTART_TICKBOX", {.text = "Restart PC"}};
    TickBox HIBERNATE_TICKBOX{*this, "HIBERNATE_TICKBOX", {.text = "Hibernate PC"}};
    TickBox LOGOFF_TICKBOX{*this, "LOGOFF_TICKBOX", {.text = "Logoff User"}};
    TextBox AUTOTIMER_ACTION_TEXTBOX{
        *this, "AUTOTIMER_ACTION_TEXTBOX", {.text = "!!! ACTION !!!", .locked = true}};
    TextBox CLOSE_REQUEST_COUNTDOWN_TEXTBOX{*this, "CLOSE_REQUEST_COUNTDOWN_TEXTBOX", {.text = "00:00:00"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};

  protected:
    void load() override;
    void unload() override;

  private:
    TickBox& actionTick(int index);
    void actionClicked(int index);
    void okClicked();

    bool positionStored_ = false;
};

}  // namespace pd
