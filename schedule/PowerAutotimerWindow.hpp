#pragma once
#include "core/TimeOfDay.hpp"
#include "core/Window.hpp"
#include "schedule/CommandQueue.hpp"

namespace pd {

// PACEDECK_POWER_AUTOTIMER_WINDOW: the last countdown of a run, shown without blocking
// the main window; at zero it starts the chosen power action and closes.
class PowerAutotimerWindow final : public Window {
  public:
    explicit PowerAutotimerWindow(App& app);
    LayoutNode layout() override;

    Label AUTOTIMER_TITLE_LABEL{*this, "AUTOTIMER_TITLE_LABEL", {.text = "!!! STATUS !!!"}};
    TextBox CLOSE_REQUEST_COUNTDOWN_TEXTBOX{
        *this, "CLOSE_REQUEST_COUNTDOWN_TEXTBOX", {.text = "00:00:00", .locked = true}};
    TextBox AUTOTIMER_ACTION_TEXTBOX{
        *this, "AUTOTIMER_ACTION_TEXTBOX", {.text = "!!! ACTION !!!", .locked = true}};
    Button START_STOP_BUTTON{*this, "START_STOP_BUTTON", {.text = "START"}};
    Timer AUTOTIMER_COUNTER{*this, "AUTOTIMER_COUNTER"};

    TimeOfDay POWER_TIME_LEFT{};

  protected:
    void load() override;
    void unload() override;

  private:
    void startStopClicked();
    void counterTick();
    void stopCounting(std::string_view status);
    void act();
    void acted(const CommandResult& result);
    // Says in this window and in the main window's status line why the computer stays on,
    // and keeps it in the power log for a run nobody watched.
    void tellNothingDone(const std::string& why);
    // Whether the action waits a second more for the mailer: a shutdown would cut the run's
    // report mail short. The wait is said, and bounded by mailerWaitLimit.
    bool waitForMailer();
    void say(const std::string& text);
    void keepInPowerLog(const std::string& text);

    static constexpr TimeOfDay mailerWaitLimit{0, 5, 0};
    int mailerWaited_ = 0;  // seconds the action has waited for the mailer

    Timer commandPoller_{*this, "commandPoller"};
    CommandQueue commands_;
};

}  // namespace pd
