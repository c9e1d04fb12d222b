#include "schedule/PowerAutotimerWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "schedule/PowerAutotimerSettingsWindow.hpp"

namespace pd {

PowerAutotimerWindow::PowerAutotimerWindow(App& app)
    : Window(app, "PACEDECK_POWER_AUTOTIMER_WINDOW", "PACEDECK - POWER AUTOTIMER"),
      commands_(app.platform(), commandPoller_) {
    START_STOP_BUTTON.onClick = [this] { startStopClicked(); };
    AUTOTIMER_COUNTER.onTick = [this] { counterTick(); };
}

LayoutNode PowerAutotimerWindow::layout() {
    return column({
        AUTOTIMER_TITLE_LABEL,
        label("TIME LEFT (hh:mm:ss):"),
        sized(CLOSE_REQUEST_COUNTDOWN_TEXTBOX, 8),
        label("POWER ACTION:"),
        sized(AUTOTIMER_ACTION_TEXTBOX, 22),
        stretch(),
        START_STOP_BUTTON,
    });
}

void PowerAutotimerWindow::load() {
    restoreGeometry();
    loadText(CLOSE_REQUEST_COUNTDOWN_TEXTBOX);
    POWER_TIME_LEFT = TimeOfDay::parseOr(CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), TimeOfDay());
    AUTOTIMER_ACTION_TEXTBOX.setText(mainWindow(app()).AUTOTIMER_ACTION_TEXTBOX.text());
    AUTOTIMER_COUNTER.setInterval(1000);
    AUTOTIMER_COUNTER.start();
    AUTOTIMER_TITLE_LABEL.setText("!!! AUTOSTARTING !!!");
}

void PowerAutotimerWindow::startStopClicked() {
    if (START_STOP_BUTTON.text() != "START") {
        stopCounting("!!! COUNTDOWN STOPPED !!!");
    } else {
        START_STOP_BUTTON.setText("STOP");
        AUTOTIMER_COUNTER.start();
        CLOSE_REQUEST_COUNTDOWN_TEXTBOX.setLocked(true);
        AUTOTIMER_TITLE_LABEL.setText("!!! COUNTDOWN STARTED !!!");
    }
}

void PowerAutotimerWindow::counterTick() {
    START_STOP_BUTTON.setText("STOP");
    AUTOTIMER_TITLE_LABEL.setText("!!! AUTOTIMER RUNNING !!!");
    // A countdown that starts at zero acts on its first tick rather than going round a
    // whole day.
    if (POWER_TIME_LEFT.seconds() > 0) POWER_TIME_LEFT = POWER_TIME_LEFT.minusSecond();
    CLOSE_REQUEST_COUNTDOWN_TEXTBOX.setText(POWER_TIME_LEFT.hhmmss());
    if (CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text() != "00:00:00") return;
    CLOSE_REQUEST_COUNTDOWN_TEXTBOX.setText("--:--:--");
    act();
}

void PowerAutotimerWindow::act() {
    int index = powerActionIndex(AUTOTIMER_ACTION_TEXTBOX.text());
    if (index < 0) {
        // Nothing to run: the window stays to tell the user why the computer stays on.
        tellNothingDone("!!! NO POWER ACTION SET - NOTHING RUN !!!");
        return;
    }
    if (waitForMailer()) return;
    auto i = static_cast<std::size_t>(index);
    AUTOTIMER_TITLE_LABEL.setText(powerActions.at(i).statusAtZero);
    // One command per countdown: the counter stands at zero, and a system slow to answer
    // (a hibernate answers after the resume) would be sent it again at every tick.
    AUTOTIMER_COUNTER.stop();
    // The system may refuse (no session for a run started by cron): its answer decides
    // whether the window closes or says so.
    commands_.run(app().profile().powerCommands.at(i),
                  [this](const CommandResult& result) { acted(result); });
}

void PowerAutotimerWindow::acted(const CommandResult& result) {
    if (result.ok()) {
        close();
        return;
    }
    // "!!! POWER ACTION NOT DONE - THE COMMAND FAILED (EXIT STATUS 1): ... !!!"
    tellNothingDone("!!! POWER ACTION NOT DONE - " + commandFailure(result).substr(4));
}

void PowerAutotimerWindow::tellNothingDone(const std::string& why) {
    stopCounting(why);
    say(why);
    keepInPowerLog(why);
}

bool PowerAutotimerWindow::waitForMailer() {
    // The counter keeps ticking at zero, so each tick looks again.
    if (mainWindow(app()).PROCESS_TEXTBOX_4.back() != colour::green) return false;
    const auto& mailer = app().profile().mailerFile;
    if (mailerWaited_ >= mailerWaitLimit.seconds()) {
        keepInPowerLog("!!! " + mailer + " STILL RUNNING AFTER " + mailerWaitLimit.hhmmss() +
                       " - ACTING ANYWAY !!!");
        return false;
    }
    const TimeOfDay left(mailerWaitLimit.seconds() - mailerWaited_++);
    say("!!! WAITING FOR " + mailer + " TO END - AT MOST " + left.hhmmss() + " MORE !!!");
    return true;
}

void PowerAutotimerWindow::say(const std::string& text) {
    AUTOTIMER_TITLE_LABEL.setText(text);
    mainWindow(app()).status(text);
}

void PowerAutotimerWindow::keepInPowerLog(const std::string& text) {
    auto& main = mainWindow(app());
    const auto& profile = app().profile();
    auto& platform = app().platform();
    const auto path = main.home().powerLog();
    auto lines = platform.readFile(path).value_or("");
    lines += platform.dateText() + " " + platform.timeText() + " " + AUTOTIMER_ACTION_TEXTBOX.text() + " - " +
             text + profile.lineEnd;
    platform.writeFile(path, lines);
}

void PowerAutotimerWindow::stopCounting(std::string_view status) {
    START_STOP_BUTTON.setText("START");
    AUTOTIMER_COUNTER.stop();
    CLOSE_REQUEST_COUNTDOWN_TEXTBOX.setLocked(false);
    AUTOTIMER_TITLE_LABEL.setText(status);
}

void PowerAutotimerWindow::unload() {
    storePosition();
}

}  // namespace pd
