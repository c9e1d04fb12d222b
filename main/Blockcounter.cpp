#include "main/Blockcounter.hpp"

#include <utility>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "main/NodeAnswers.hpp"

namespace pd {

namespace {
constexpr std::string_view updated = "!!! BLOCKCHAIN UPDATED !!!";

// A time box's value; a text that is not a time gives the box's default.
TimeOfDay timeIn(const TextBox& box) {
    return TimeOfDay::parseOr(box.text(), TimeOfDay::parseOr(catalogue::defaultOf(box.name()), TimeOfDay()));
}

// A file the cli did not fill (a bare line end, an error message) holds no block number:
// two such readings must never count as identical.
bool holdsNoNumber(std::string_view reading) {
    return reading.find_first_of("0123456789") == std::string_view::npos;
}

}  // namespace

Blockcounter::Blockcounter(MainWindow& w) : w_(w) {
    w_.START_STOP_TIMER_BUTTON.onClick = [this] { startStopClicked(); };
    w_.RUN_NOW_BUTTON.onClick = [this] { runNowClicked(); };
    w_.START_OVERRIDE_BUTTON.onClick = [this] { startOverrideClicked(); };
    w_.FINISH_BLOCKCOUNTER_BUTTON.onClick = [this] { finishClicked(); };
    w_.OVERRIDE_TIMER_ENABLE_TICKBOX.onChange = [this] { overrideEnableChanged(); };
    w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.onChange = [this] {
        save(w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.name(),
             w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.ticked() ? "1" : "0");
    };
    // Read afresh by the checker and the completion step, so a change applies to the next.
    w_.FINISH_WHEN_IDENTICAL_TICKBOX.onChange = [this] {
        save(w_.FINISH_WHEN_IDENTICAL_TICKBOX.name(), w_.FINISH_WHEN_IDENTICAL_TICKBOX.ticked() ? "1" : "0");
    };
    w_.USER_COUNT_TIME_TEXTBOX.onDoubleClick = [this] { countTimeDoubleClicked(); };
    w_.USER_OVERRIDE_TIME_TEXTBOX.onDoubleClick = [this] { overrideTimeDoubleClicked(); };

    w_.BLOCKCOUNTER_COUNTDOWN_TIMER.onTick = [this] { countdownTick(); };
    w_.GETBLOCKCOUNT_TIMER.onTick = [this] { pollStart(); };
    w_.CLI_PROCESS_WATCHER_TIMER.onTick = [this] { cliWait(); };
    w_.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER.onTick = [this] { readBlockcount(); };
    w_.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER.onTick = [this] { screenReading(); };
    w_.IDENTICAL_CHECKER_TIMER.onTick = [this] { compareReadings(); };
    w_.CHECKER_TIMER.onTick = [this] { check(); };
    w_.VERIFY_TIMER.onTick = [this] { verify(); };
    w_.TRIPLE_CHECK_TIMER.onTick = [this] { tripleCheck(); };
    w_.COMPLETED_TIMER.onTick = [this] { complete(); };
    w_.OVERRIDE_TIMER.onTick = [this] { overrideTick(); };
    w_.syncCheck.onFault = [this](const SyncVerdict& v) { endFault(v); };
}

// ---------------------------------------------------------------- the run's stage 8

void Blockcounter::startFromPipeline() {
    // Every run starts like the first after the window opened: full countdowns and no
    // phase or node error left over from an earlier run (a confirmed phase would stall the
    // checker; an old error would stamp a good run as failed).
    nodeGone_ = false;
    runReading_.clear();
    w_.syncCheck.runStarted();
    reloadCountdowns();
    resetPhaseLights();
    w_.BLOCKCOUNTER_COUNTDOWN_TIMER.start();
    w_.START_STOP_TIMER_BUTTON.setText("STOP");
    w_.USER_COUNT_TIME_TEXTBOX.setLocked(true);
    w_.FINISH_BLOCKCOUNTER_BUTTON.setEnabled(true);
    if (w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.ticked()) {
        w_.USER_OVERRIDE_TIME_TEXTBOX.setLocked(true);
        w_.OVERRIDE_TIMER.start();
        w_.START_OVERRIDE_BUTTON.setText("STOP");
        w_.START_OVERRIDE_BUTTON.setToolTip("STOP BLOCKCOUNTER OVERRIDE TIMER");
    } else {
        w_.USER_OVERRIDE_TIME_TEXTBOX.setLocked(false);
        w_.OVERRIDE_TIMER.stop();
        w_.START_OVERRIDE_BUTTON.setText("START");
        w_.START_OVERRIDE_BUTTON.setToolTip("START BLOCKCOUNTER OVERRIDE TIMER");
    }
}

void Blockcounter::skipFromPipeline() {
    // The run's report must not show an earlier run's blockcounter outcome as this run's.
    stampLastRun("!!! SKIPPED !!!", colour::red, true);
    runReading_.clear();
    w_.BLOCKCOUNTER_COUNTDOWN_TIMER.stop();
    w_.START_STOP_TIMER_BUTTON.setText("START");
    w_.USER_COUNT_TIME_TEXTBOX.setLocked(false);
}

// ---------------------------------------------------------------- user operations

void Blockcounter::startStopClicked() {
    auto& button = w_.START_STOP_TIMER_BUTTON;
    if (button.text() == "START") {
        // Outside a run this count is a run of its own once it ends: nothing of an earlier
        // run (its fault, its sync history) may be told as its.
        if (!w_.runInProgress()) w_.forgetEarlierRun();
        nodeGone_ = false;
        runReading_.clear();
        w_.syncCheck.runStarted();
        reloadCountdowns();
        resetPhaseLights();
        button.setText("STOP");
        w_.USER_COUNT_TIME_TEXTBOX.setLocked(true);
        w_.SETTINGS_BUTTON.setEnabled(false);
        w_.BLOCKCOUNTER_COUNTDOWN_TIMER.start();
        w_.RUN_NOW_BUTTON.setEnabled(true);
        stampLastRun("!!! MANUAL START !!!", colour::green, true);
        button.setToolTip("STOP BLOCKCOUNTER");
    } else {
        button.setText("START");
        w_.USER_COUNT_TIME_TEXTBOX.setLocked(false);
        w_.SETTINGS_BUTTON.setEnabled(true);
        // A completion step already due and the override keep running.
        stopPollStages();
        w_.RUN_NOW_BUTTON.setEnabled(false);
        stampLastRun("!!! MANUAL STOP !!!", colour::red, true);
        button.setToolTip("START BLOCKCOUNTER");
        resetPhaseLights();
    }
}

void Blockcounter::runNowClicked() {
    colourReadings(colour::black, colour::magenta);
    w_.status("GETBLOCKCOUNT - MANUAL RUN STARTED");
    w_.BLOCKCOUNTER_COUNTDOWN_TIMER.stop();
    w_.GETBLOCKCOUNT_TIMER.start();
}

void Blockcounter::startOverrideClicked() {
    auto& button = w_.START_OVERRIDE_BUTTON;
    const bool start = button.text() == "START";
    button.setText(start ? "STOP" : "START");
    w_.OVERRIDE_TIMER.setEnabled(start);
    w_.USER_OVERRIDE_TIME_TEXTBOX.setLocked(start);
    button.setToolTip(start ? "STOP BLOCKCOUNTER OVERRIDE TIMER" : "START BLOCKCOUNTER OVERRIDE TIMER");
}

void Blockcounter::overrideEnableChanged() {
    auto& tick = w_.OVERRIDE_TIMER_ENABLE_TICKBOX;
    if (tick.ticked()) {
        w_.USER_OVERRIDE_TIME_TEXTBOX.setLocked(false);
        w_.USER_OVERRIDE_TIME_TEXTBOX.setEnabled(true);
        w_.OVERRIDE_TIMER_TEXTBOX.setEnabled(true);
        w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setEnabled(true);
        w_.START_OVERRIDE_BUTTON.setEnabled(true);
        save(tick.name(), "1");
    } else {
        w_.USER_OVERRIDE_TIME_TEXTBOX.setLocked(true);
        w_.USER_OVERRIDE_TIME_TEXTBOX.setEnabled(false);
        w_.OVERRIDE_TIMER_TEXTBOX.setEnabled(false);
        w_.OVERRIDE_TIMER.stop();
        w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setEnabled(false);
        w_.START_OVERRIDE_BUTTON.setEnabled(false);
        w_.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setValue(0);
        w_.START_OVERRIDE_BUTTON.setText("START");
        save(tick.name(), "0");
    }
}

void Blockcounter::countTimeDoubleClicked() {
    // Saves the times; the running countdown keeps its course.
    saveTimes();
}

void Blockcounter::overrideTimeDoubleClicked() {
    if (!w_.OVERRIDE_TIMER.enabled() || !w_.USER_OVERRIDE_TIME_TEXTBOX.locked()) return;
    w_.OVERRIDE_TIME_LEFT = timeIn(w_.USER_OVERRIDE_TIME_TEXTBOX);
    saveTimes();
}

void Blockcounter::finishClicked() {
    // Right after a completion without finishing, the chain is known to be up to date:
    // the finish only records that.
    if (w_.CURRENT_STATUS_LABEL.text() == updated) {
        w_.status("!!! BLOCKCOUNTER - MANUAL FINISH !!!");
        stampLastRun("!!! MANUAL FINISH - UP-TO-DATE !!!", colour::green, false);
        return;
    }
    stopPollStages();
    w_.COMPLETED_TIMER.stop();
    w_.OVERRIDE_TIMER.stop();
    nodeGone_ = false;
    w_.FINISH_BLOCKCOUNTER_BUTTON.setEnabled(false);
    w_.TASK_9_MAIN_TIMER.start();
    w_.START_STOP_TIMER_BUTTON.setText("START");
    w_.START_OVERRIDE_BUTTON.setText("START");
    w_.status("!!! BLOCKCOUNTER - MANUAL FINISH !!!");
    stampLastRun("!!! MANUAL FINISH !!!", colour::red, false);
    w_.noteRunFault("!!! MANUAL FINISH !!!");
    w_.TASK_8_LIGHT.setBack(colour::green);
    w_.TASK_9_LIGHT.setBack(colour::green);
}

// ---------------------------------------------------------------- the stages

void Blockcounter::countdownTick() {
    // While the node has not caught up, the status keeps saying why between polls.
    const auto& standing = w_.syncCheck.standing();
    w_.status(standing.empty() ? "!!! BLOCKCOUNTER - COUNTING DOWN !!!" : standing);
    w_.BLOCKCOUNT_TIME_LEFT = w_.BLOCKCOUNT_TIME_LEFT.minusSecond();
    w_.BLOCKCOUNT_TIMER_TEXTBOX.setText(w_.BLOCKCOUNT_TIME_LEFT.hhmmss());
    if (w_.BLOCKCOUNT_TIMER_TEXTBOX.text() != "00:00:00") return;

    const auto qt = w_.PROCESS_TEXTBOX_1.back();
    const auto daemon = w_.PROCESS_TEXTBOX_2.back();
    const bool named = !w_.QT_NAME_TEXTBOX.text().empty() || !w_.DAEMON_NAME_TEXTBOX.text().empty();
    if (named && (daemon == colour::green || qt == colour::green)) {
        w_.BLOCKCOUNT_TIMER_TEXTBOX.setText("--:--:--");
        w_.status("!!! BLOCKCOUNTER - AUTO GETBLOCKCOUNT !!!");
        colourReadings(colour::black, colour::lightCyan);
        w_.GETBLOCKCOUNT_TIMER.start();
        w_.BLOCKCOUNTER_COUNTDOWN_TIMER.stop();
    } else if (named && daemon == colour::red && qt == colour::red) {
        // The node has gone: nothing to poll. The run carries on and stops cleanly, but
        // the outcome is recorded as the fault it is.
        w_.BLOCKCOUNT_TIMER_TEXTBOX.setText("--:--:--");
        // What the node printed last is most often why it went (a refused conf, a missing
        // data folder): it goes with the error and into the end report.
        const auto& said = w_.nodeOutput.noteLastWords();
        w_.status(said.empty()
                      ? "!!! BC - QT / DAEMON ERROR - CONTINUING... !!!"
                      : "!!! BC - QT / DAEMON ERROR - THE NODE SAID: " + said + " - CONTINUING... !!!");
        w_.CURRENT_STATUS_LABEL.setBack(colour::red);
        w_.presence.alert("!!! QT / DAEMON ERROR !!!");
        nodeGone_ = true;
        w_.COMPLETED_TIMER.start();
        w_.BLOCKCOUNTER_COUNTDOWN_TIMER.stop();
    } else {
        // Without a name to watch (or before the first look at the processes) the program
        // cannot see the node, so it does not poll it. It looks again after an interval.
        w_.status(named ? "!!! BLOCKCOUNTER - QT / DAEMON NOT SEEN YET - NOT POLLING !!!"
                        : "!!! BLOCKCOUNTER - QT / DAEMON PROCESS NAME NOT SET - CANNOT SEE THE NODE, NOT "
                          "POLLING !!!");
        w_.BLOCKCOUNT_TIMER_TEXTBOX.setText(w_.USER_COUNT_TIME_TEXTBOX.text());
        w_.BLOCKCOUNT_TIME_LEFT = timeIn(w_.USER_COUNT_TIME_TEXTBOX);
    }
}

void Blockcounter::pollStart() {
    w_.status("!!! BLOCKCOUNTER - RUNNING GETBLOCKCOUNT !!!");
    const auto started =
        w_.app().platform().runScript(w_.home().script(Script::RunBlockcounter), WindowStyle::Hidden);
    if (!started) {
        // No cli will ever run: waiting for one would read an old file. Count again.
        w_.status("!!! BLOCKCOUNTER - GETBLOCKCOUNT NOT STARTED: " + started.error + " !!!");
        restartCountdown(w_.GETBLOCKCOUNT_TIMER);
        return;
    }
    colourReadings(colour::black, colour::yellow);
    w_.CLI_PROCESS_WATCHER_TIMER.start();
    w_.GETBLOCKCOUNT_TIMER.stop();
}

void Blockcounter::cliWait() {
    if (w_.PROCESS_TEXTBOX_3.back() == colour::green) {
        colourReadings(colour::black, colour::red);
        w_.status("!!! CLI PROCESS RUNNING - WAITING !!!");
        w_.RUN_NOW_BUTTON.setEnabled(false);
        return;
    }
    colourReadings(colour::green, colour::black);
    w_.status("GOOD - CLI PROCESS NOT RUNNING");
    w_.RUN_NOW_BUTTON.setEnabled(true);
    w_.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER.start();
    w_.CLI_PROCESS_WATCHER_TIMER.stop();
}

void Blockcounter::readBlockcount() {
    colourReadings(colour::black, colour::magenta);
    w_.status("!!! BLOCKCOUNTER - UPDATING BLOCKCOUNT !!!");
    // The cli's output as written, never trimmed or parsed; a missing or unreadable file is
    // an empty reading, which the screen drops.
    const auto file = w_.app().platform().readFile(w_.home().latestBlockcount()).value_or("");
    w_.CURRENT_BLOCK_TEXTBOX.setText(std::string(withoutCommandEcho(file)));
    w_.status("!!! BLOCKCOUNTER - BLOCKCOUNT UPDATED !!!");
    // Every reading, a zero or an empty one too, reaches the sync check before the screen
    // drops it: a node that never gives a height is judged like one whose height stands.
    const auto& reading = w_.CURRENT_BLOCK_TEXTBOX.text();
    if (blockHeight(reading)) runReading_ = reading;
    w_.syncCheck.heightRead(reading);
    w_.syncCheck.sample();
    w_.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER.start();
    w_.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER.stop();
}

void Blockcounter::screenReading() {
    w_.status("!!! BLOCKCOUNTER - COMPARING BLOCK NUMBERS !!!");
    const auto& reading = w_.CURRENT_BLOCK_TEXTBOX.text();
    if (reading == w_.ZERO_NEW_LINE_TEXTBOX.text() || reading == w_.EMPTY_TEXTBOX.text() ||
        holdsNoNumber(reading)) {
        w_.status("!!! BLOCKCOUNTER - ZERO / NOT IDENTICAL !!!");
        w_.CURRENT_BLOCK_TEXTBOX.setText(w_.LAST_BLOCKCOUNT_TEXTBOX.text());
        restartCountdown(w_.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER);
        return;
    }
    w_.status("!!! BLOCKCOUNTER - POSSIBLY IDENTICAL !!!");
    colourReadings(colour::yellow, colour::black);
    w_.IDENTICAL_CHECKER_TIMER.start();
    w_.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER.stop();
}

void Blockcounter::compareReadings() {
    // While searching, the last reading is kept for the verify and the triple check; in a
    // match phase they keep the reading that was last when the first match was found.
    if (w_.IDENTICAL_TEXTBOX.back() != colour::green) {
        w_.BLOCK_VERIFIER_TEXTBOX.setText(w_.LAST_BLOCKCOUNT_TEXTBOX.text());
        w_.BLOCK_TRIPLE_CHECK_TEXTBOX.setText(w_.LAST_BLOCKCOUNT_TEXTBOX.text());
        saveInfoOnly();
    }
    if (w_.CURRENT_BLOCK_TEXTBOX.text() == w_.LAST_BLOCKCOUNT_TEXTBOX.text()) {
        w_.status("!!! BLOCKCOUNTER - IDENTICAL BLOCK NUMBERS !!!");
        w_.IDENTICAL_TEXTBOX.setBack(colour::green);
        colourReadings(colour::black, colour::lightCyan);
        w_.CHECKER_TIMER.start();
        w_.IDENTICAL_CHECKER_TIMER.stop();
    } else {
        w_.status("!!! BLOCKCOUNTER - NOT IDENTICAL !!!");
        w_.LAST_BLOCKCOUNT_TEXTBOX.setText(w_.CURRENT_BLOCK_TEXTBOX.text());
        restartCountdown(w_.IDENTICAL_CHECKER_TIMER);
    }
}

void Blockcounter::check() {
    // Each test reads the lights as the earlier steps of this tick left them, so one tick
    // never advances more than one phase.
    w_.status("!!! BLOCKCOUNTER - CHECKER STARTED !!!");
    if (w_.FINISH_WHEN_IDENTICAL_TICKBOX.ticked()) {
        w_.status("!!! BLOCKCOUNTER - RUNNING CHECKER !!!");
    } else {
        w_.status("!!! BLOCKCOUNTER - CHECKER DISABLED !!!");
        w_.LAST_BLOCKCOUNT_TEXTBOX.setText(w_.CURRENT_BLOCK_TEXTBOX.text());
        w_.status("!!! BLOCKCOUNTER - RESTARTING COUNTDOWN !!!");
        restartCountdown(w_.CHECKER_TIMER);
    }
    if (w_.TRIPLE_CHECK_TEXTBOX.back() == colour::pink) {
        w_.VERIFYING_TEXTBOX.setBack(colour::green);
        w_.IDENTICAL_TEXTBOX.setBack(colour::green);
        w_.TRIPLE_CHECK_TIMER.start();
        w_.CHECKER_TIMER.stop();
    }
    if (w_.VERIFYING_TEXTBOX.back() == colour::pink) {
        w_.IDENTICAL_TEXTBOX.setBack(colour::green);
        w_.VERIFY_TIMER.start();
        w_.CHECKER_TIMER.stop();
    }
    if (w_.IDENTICAL_TEXTBOX.back() == colour::green &&
        w_.VERIFYING_TEXTBOX.back() == colour::windowBackground) {
        w_.VERIFYING_TEXTBOX.setBack(colour::pink);
        colourReadings(colour::green, colour::black);
        w_.GETBLOCKCOUNT_TIMER.start();  // re-poll at once, without a countdown
        w_.CHECKER_TIMER.stop();
    }
    if (w_.VERIFYING_TEXTBOX.back() == colour::green && w_.IDENTICAL_TEXTBOX.back() == colour::green) {
        colourReadings(colour::green, colour::black);
        w_.CHECKER_TIMER.stop();
    }
    w_.CHECKER_TIMER.stop();
}

void Blockcounter::verify() {
    if (w_.CURRENT_BLOCK_TEXTBOX.text() == w_.BLOCK_VERIFIER_TEXTBOX.text()) {
        w_.status("!!! BLOCKCOUNTER - VERIFYING GETBLOCKCOUNT!!!");
        w_.IDENTICAL_TEXTBOX.setBack(colour::green);
        w_.VERIFYING_TEXTBOX.setBack(colour::green);
        w_.TRIPLE_CHECK_TEXTBOX.setBack(colour::pink);
        colourReadings(colour::black, colour::yellow);
        w_.GETBLOCKCOUNT_TIMER.start();  // the second re-poll
        w_.VERIFY_TIMER.stop();
    } else {
        w_.status("!!! BLOCKCOUNTER - VERIFY FAILED !!!");
        restartCountdown(w_.VERIFY_TIMER);
    }
}

void Blockcounter::tripleCheck() {
    if (w_.CURRENT_BLOCK_TEXTBOX.text() == w_.BLOCK_TRIPLE_CHECK_TEXTBOX.text()) {
        w_.status("!!! BLOCKCOUNTER - TRIPLE CHECK CONFIRMED !!!");
        for (auto* light :
             {&w_.IDENTICAL_TEXTBOX, &w_.VERIFYING_TEXTBOX, &w_.TRIPLE_CHECK_TEXTBOX, &w_.CONFIRMED_TEXTBOX})
            light->setBack(colour::green);
        colourReadings(colour::black, colour::green);
        w_.status("!!! BLOCKCOUNTER - VERIFIER FINISHED !!!");
        w_.TRIPLE_CHECK_TIMER.stop();
        if (w_.syncCheck.active()) w_.status("!!! BLOCKCOUNTER - SYNC CHECK - ASKING THE NODE !!!");
        w_.syncCheck.judge([this](const SyncVerdict& v) { syncVerdict(v); });
    } else {
        w_.status("!!! BLOCKCOUNTER - TRIPLE-CHECK FAILED !!!");
        restartCountdown(w_.TRIPLE_CHECK_TIMER);
    }
}

void Blockcounter::complete() {
    saveInfoOnly();
    const bool nodeGone = std::exchange(nodeGone_, false);
    if (w_.FINISH_WHEN_IDENTICAL_TICKBOX.ticked()) {
        w_.BLOCKCOUNTER_COUNTDOWN_TIMER.stop();
        w_.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER.stop();
        w_.OVERRIDE_TIMER.stop();
        w_.START_STOP_TIMER_BUTTON.setText("START");
        w_.START_OVERRIDE_BUTTON.setText("START");
        if (nodeGone) {
            // The error status and the red status line stay; success is not claimed.
            stampLastRun("!!! QT / DAEMON ERROR !!!", colour::red, true);
            w_.noteRunFault("!!! QT / DAEMON ERROR !!!");
        } else {
            w_.status("!!! BLOCKCOUNTER FINISHED !!!");
            stampLastRun("!!! COMPLETED SUCCESSFULLY !!!", colour::green, true);
        }
        w_.TASK_8_LIGHT.setBack(colour::green);
        signalEnd();
    } else {
        if (!nodeGone) w_.status(updated);
        // The countdown stands at zero here; from zero it would count a whole day.
        w_.BLOCKCOUNT_TIMER_TEXTBOX.setText(w_.USER_COUNT_TIME_TEXTBOX.text());
        w_.BLOCKCOUNT_TIME_LEFT = timeIn(w_.USER_COUNT_TIME_TEXTBOX);
        w_.BLOCKCOUNTER_COUNTDOWN_TIMER.start();
        w_.START_STOP_TIMER_BUTTON.setText("START");
        w_.START_OVERRIDE_BUTTON.setText("START");
    }
    w_.COMPLETED_TIMER.stop();
}

void Blockcounter::syncVerdict(const SyncVerdict& verdict) {
    switch (verdict.next) {
        case SyncVerdict::Next::CaughtUp:
        case SyncVerdict::Next::FallBack:
            w_.COMPLETED_TIMER.start();
            return;
        case SyncVerdict::Next::PollOn:
            // Equal readings of a node that has not caught up are no completion: nothing is
            // stopped, the polls go on from a fresh countdown.
            restartCountdown(w_.COMPLETED_TIMER);
            w_.status(verdict.status);
            return;
        case SyncVerdict::Next::Fault:
            endFault(verdict);
            return;
    }
}

void Blockcounter::endFault(const SyncVerdict& verdict) {
    // The run ends as the failure it is: the node is stopped and the report written as
    // after any end of the blockcounter, but nothing claims the chain is up to date.
    stopPollStages();
    w_.COMPLETED_TIMER.stop();
    w_.OVERRIDE_TIMER.stop();
    nodeGone_ = false;
    w_.START_STOP_TIMER_BUTTON.setText("START");
    w_.START_OVERRIDE_BUTTON.setText("START");
    w_.status(verdict.status);
    w_.CURRENT_STATUS_LABEL.setBack(colour::red);
    stampLastRun(verdict.stamp, colour::red, true);
    w_.noteRunFault(verdict.stamp);
    w_.presence.alert(verdict.stamp);
    w_.TASK_8_LIGHT.setBack(colour::green);
    signalEnd();
}

void Blockcounter::overrideTick() {
    w_.OVERRIDE_TIME_LEFT = w_.OVERRIDE_TIME_LEFT.minusSecond();
    w_.OVERRIDE_TIMER_TEXTBOX.setText(w_.OVERRIDE_TIME_LEFT.hhmmss());
    if (w_.OVERRIDE_TIMER_TEXTBOX.text() != "00:00:00") return;
    // Ends the blockcounter whatever the readings say, even in the middle of a poll.
    w_.OVERRIDE_TIMER_TEXTBOX.setText("--:--:--");
    stopPollStages();
    w_.COMPLETED_TIMER.stop();
    nodeGone_ = false;
    w_.status("!!! BLOCKCOUNTER - MORE BLOCKS THAN TIME !!!");
    stampLastRun("!!! OVERRIDE TIMER ACTIVATED !!!", w_.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), true);
    w_.noteRunFault("!!! OVERRIDE TIMER ACTIVATED !!!");
    signalEnd();
    w_.OVERRIDE_TIMER.stop();
}

// ---------------------------------------------------------------- helpers

void Blockcounter::restartCountdown(Timer& stage) {
    resetPhaseLights();
    colourReadings(colour::green, colour::black);
    w_.BLOCKCOUNT_TIMER_TEXTBOX.setText(w_.USER_COUNT_TIME_TEXTBOX.text());
    w_.BLOCKCOUNT_TIME_LEFT = timeIn(w_.USER_COUNT_TIME_TEXTBOX);
    w_.BLOCKCOUNTER_COUNTDOWN_TIMER.start();
    stage.stop();
}

void Blockcounter::reloadCountdowns() {
    w_.BLOCKCOUNT_TIME_LEFT = timeIn(w_.USER_COUNT_TIME_TEXTBOX);
    w_.OVERRIDE_TIME_LEFT = timeIn(w_.USER_OVERRIDE_TIME_TEXTBOX);
}

void Blockcounter::resetPhaseLights() {
    for (auto* light :
         {&w_.IDENTICAL_TEXTBOX, &w_.VERIFYING_TEXTBOX, &w_.TRIPLE_CHECK_TEXTBOX, &w_.CONFIRMED_TEXTBOX})
        light->setBack(colour::windowBackground);
}

void Blockcounter::colourReadings(Colour fore, Colour back) {
    w_.CURRENT_BLOCK_TEXTBOX.setColours(fore, back);
    w_.LAST_BLOCKCOUNT_TEXTBOX.setColours(fore, back);
}

void Blockcounter::stopPollStages() {
    for (auto* t : {&w_.BLOCKCOUNTER_COUNTDOWN_TIMER, &w_.GETBLOCKCOUNT_TIMER, &w_.CLI_PROCESS_WATCHER_TIMER,
                    &w_.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER, &w_.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER,
                    &w_.IDENTICAL_CHECKER_TIMER, &w_.CHECKER_TIMER, &w_.VERIFY_TIMER, &w_.TRIPLE_CHECK_TIMER})
        t->stop();
    w_.syncCheck.cancel();
}

void Blockcounter::signalEnd() {
    w_.FINISH_BLOCKCOUNTER_BUTTON.setEnabled(false);
    w_.TASK_9_LIGHT.setBack(colour::green);
    w_.TASK_9_MAIN_TIMER.start();
}

void Blockcounter::stampLastRun(std::string_view text, Colour back, bool keep) {
    w_.BLOCKCOUNTER_LAST_RUN_TEXTBOX.setText(text);
    w_.BLOCKCOUNTER_LAST_RUN_TEXTBOX.setBack(back);
    if (keep) save("BLOCKCOUNTER_LAST_RUN", text);
}

void Blockcounter::saveTimes() {
    save(w_.USER_COUNT_TIME_TEXTBOX.name(), w_.USER_COUNT_TIME_TEXTBOX.text());
    save(w_.USER_OVERRIDE_TIME_TEXTBOX.name(), w_.USER_OVERRIDE_TIME_TEXTBOX.text());
}

void Blockcounter::saveInfoOnly() {
    save("INFO_ONLY_CURRENT_BLOCK_TEXTBOX", w_.CURRENT_BLOCK_TEXTBOX.text());
    save("INFO_ONLY_LAST_BLOCKCOUNT_TEXTBOX", w_.LAST_BLOCKCOUNT_TEXTBOX.text());
    save("INFO_ONLY_BLOCK_VERIFIER_TEXTBOX", w_.BLOCK_VERIFIER_TEXTBOX.text());
    save("INFO_ONLY_BLOCK_TRIPLE_CHECK_TEXTBOX", w_.BLOCK_TRIPLE_CHECK_TEXTBOX.text());
}

void Blockcounter::save(std::string_view key, std::string_view value) {
    w_.app().writeSetting(w_.app().exe(), key, value);
}

}  // namespace pd
