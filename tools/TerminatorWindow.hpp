#pragma once
#include <string>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_TERMINATOR_WINDOW: the last resort that ends processes by name. Nothing works
// until the user arms it; then each TERMINATE button works only while its process runs.
class TerminatorWindow final : public Window {
  public:
    explicit TerminatorWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label WARNING_LABEL_1{*this, "WARNING_LABEL_1", {.text = "!!! WARNING - TERMINATING PROCESSES CAN CREATE BIG PROBLEMS... !!! :)", .fore = colour::red}};
    Label WARNING_LABEL_2{*this, "WARNING_LABEL_2", {.text = "!!! ONLY TERMINATE PROCESSES IF YOU CANT END THEM NORMALLY !!!", .fore = colour::red}};
    Label WARNING_LABEL_3{*this, "WARNING_LABEL_3", {.fore = colour::red}};
    TickBox ENABLE_TERMINATOR_TICKBOX{*this, "ENABLE_TERMINATOR_TICKBOX", {.text = "!!! ENABLE TERMINATOR !!!"}};
    TextBox QT_NAME_TEXTBOX{*this, "QT_NAME_TEXTBOX", {.enabled = false, .locked = true}};
    TextBox DAEMON_NAME_TEXTBOX{*this, "DAEMON_NAME_TEXTBOX", {.enabled = false, .locked = true}};
    TextBox CLI_NAME_TEXTBOX{*this, "CLI_NAME_TEXTBOX", {.enabled = false, .locked = true}};
    TextBox PROCESS_TEXTBOX_4{*this, "PROCESS_TEXTBOX_4", {.enabled = false, .locked = true}};
    TextBox CUSTOM_PROCESS_NAME_TEXTBOX{*this, "CUSTOM_PROCESS_NAME_TEXTBOX", {.enabled = false}};
    Button QT_TERMINATE_BUTTON{*this, "QT_TERMINATE_BUTTON", {.text = "TERMINATE", .enabled = false}};
    Button DAEMON_TERMINATE_BUTTON{*this, "DAEMON_TERMINATE_BUTTON", {.text = "TERMINATE", .enabled = false}};
    Button CLI_TERMINATE_BUTTON{*this, "CLI_TERMINATE_BUTTON", {.text = "TERMINATE", .enabled = false}};
    Button SENDEMAIL_TERMINATE_BUTTON{*this, "SENDEMAIL_TERMINATE_BUTTON", {.text = "TERMINATE", .enabled = false}};
    Button CUSTOM_TERMINATE_BUTTON{*this, "CUSTOM_TERMINATE_BUTTON", {.text = "TERMINATE", .enabled = false}};
    Label TERMINATED_LABEL{*this, "TERMINATED_LABEL"};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};

    Timer MIRROR_PROCESS_STATE_TIMER{*this, "MIRROR_PROCESS_STATE_TIMER"};
    Timer CUSTOM_PROCESS_WATCHER_TIMER{*this, "CUSTOM_PROCESS_WATCHER_TIMER"};
    // clang-format on

  protected:
    void load() override;
    void unload() override;

  private:
    void armClicked();
    void terminateNamedBox(const TextBox& box);
    void customTerminateClicked();
    void mirrorTick();
    void customWatchTick();

    bool IS_PROCESS_RUNNING(const std::string& name);
    void TERMINATE_PROCESSES(const std::string& name);
};

}  // namespace pd
