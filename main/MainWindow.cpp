#include "main/MainWindow.hpp"

#include <array>
#include <string>

#include "core/App.hpp"
#include "core/FileSave.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "tools/AboutWindow.hpp"
#include "tools/BlockTimesWindow.hpp"
#include "tools/BoxInfoWindow.hpp"
#include "tools/HelpWindow.hpp"
#include "tools/ManualRunWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "tools/TerminatorWindow.hpp"

namespace pd {

namespace {
const std::array<std::string_view, 8> stageTickKeys = {
    "TASK_2_ENABLE_TICKBOX",  "TASK_4_ENABLE_TICKBOX",  "TASK_8_ENABLE_TICKBOX",  "TASK_11_ENABLE_TICKBOX",
    "TASK_17_ENABLE_TICKBOX", "TASK_18_ENABLE_TICKBOX", "TASK_19_ENABLE_TICKBOX", "TASK_20_ENABLE_TICKBOX"};

// A countdown's start from its box, or from the box's default when it holds no time.
TimeOfDay timeIn(const TextBox& box) {
    return TimeOfDay::parseOr(box.text(), TimeOfDay::parseOr(catalogue::defaultOf(box.name()), {}));
}
// The autostart and autoclose boxes hold plain seconds; a double-click restores their default.
TimeOfDay defaultSecondsOf(const TextBox& box) {
    return TimeOfDay(std::stoi(catalogue::defaultOf(box.name())));
}
}  // namespace

MainWindow::MainWindow(App& app) : Window(app, "PACEDECK_MAIN", "PACEDECK") {
    const auto& profile = app.profile();
    const auto& mailer = profile.mailerFile;
    PROCESS_TEXTBOX_4.setText(mailer);
    PROCESS_TEXTBOX_4.setToolTip("\"" + mailer +
                                 "\" PROCESS - EMAIL SENDING UTILITY -  GREEN=RUNNING, RED=STOPPED");
    ZERO_NEW_LINE_TEXTBOX.setText(profile.zeroReading());
    const auto& nl = profile.lineEnd;
    LOG_TOP_MESSAGE_TEXTBOX.setText("!!! - SYNCWARD - PACEDECK - !!!" + nl);
    LOG_BOTTOM_MESSAGE_TEXTBOX.setText(
        "!!! - Thanks for using Syncward Software - !!!" + nl +
        "!!! - PACEDECK - made by the PACEDECK developers for node keepers - !!!" + nl);

    ALWAYS_ON_TOP_TICKBOX.onChange = [this] { alwaysOnTopClicked(); };
    AUTOSTART_START_BUTTON.onClick = [this] { autostartButtonClicked(); };
    AUTOSTART_TIMER.onTick = [this] { autostartTick(); };
    AUTOSTART_TIMER_TEXTBOX.onDoubleClick = [this] {
        AUTOSTART_TIME_LEFT = defaultSecondsOf(AUTOSTART_TIMER_TEXTBOX);
        AUTOSTART_TIMER_TEXTBOX.setText(AUTOSTART_TIME_LEFT.ss());
    };
    AUTOCLOSE_START_BUTTON.onClick = [this] { autocloseButtonClicked(); };
    AUTOCLOSE_TIMER.onTick = [this] { autocloseTick(); };
    AUTOCLOSE_TIMER_TEXTBOX.onDoubleClick = [this] {
        AUTOCLOSE_TIME_LEFT = defaultSecondsOf(AUTOCLOSE_TIMER_TEXTBOX);
        AUTOCLOSE_TIMER_TEXTBOX.setText(AUTOCLOSE_TIME_LEFT.ss());
    };
    AlwaysOnTopTimer.onTick = [this] {
        if (auto* fe = this->app().frontEnd()) fe->keepOnTop(*this);
    };
    RUNTIME_TIMER.onTick = [this] { runtimeTick(); };
    EXIT_BUTTON.onClick = [this] { exitClicked(); };
    SETTINGS_BUTTON.onClick = [this] { this->app().open<MainSettingsWindow>(this); };
    RUN_QT_TICKBOX.onChange = [this] { runQtClicked(); };
    RUN_DAEMON_TICKBOX.onChange = [this] { runDaemonClicked(); };
    TASK_19_ENABLE_TICKBOX.onChange = [this] { autocloseChoiceClicked(); };
    TASK_20_ENABLE_TICKBOX.onChange = [this] { powerAutotimerChoiceClicked(); };
    MANUAL_RUN_BUTTON.onClick = [this] { this->app().open<ManualRunWindow>(this); };
    BOX_INFO_BUTTON.onClick = [this] { this->app().open<BoxInfoWindow>(this); };
    TERMINATOR_BUTTON.onClick = [this] { this->app().open<TerminatorWindow>(this); };
    BLOCK_TIMES_WINDOW_BUTTON.onClick = [this] { this->app().open<BlockTimesWindow>(this); };
    END_LOG_BUTTON.onClick = [this] { this->app().open<ReportsLogsWindow>(this); };
    HELP_BUTTON.onClick = [this] { this->app().open<HelpWindow>(this); };
    ABOUT_BUTTON.onClick = [this] { this->app().open<AboutWindow>(this); };
}

TextBox& MainWindow::taskLight(int stage) {
    static constexpr std::array<TextBox MainWindow::*, 19> lights = {
        &MainWindow::TASK_1_LIGHT,  &MainWindow::TASK_2_LIGHT,  &MainWindow::TASK_3_LIGHT,
        &MainWindow::TASK_4_LIGHT,  &MainWindow::TASK_5_LIGHT,  &MainWindow::TASK_6_LIGHT,
        &MainWindow::TASK_7_LIGHT,  &MainWindow::TASK_8_LIGHT,  &MainWindow::TASK_9_LIGHT,
        &MainWindow::TASK_10_LIGHT, &MainWindow::TASK_11_LIGHT, &MainWindow::TASK_12_LIGHT,
        &MainWindow::TASK_13_LIGHT, &MainWindow::TASK_14_LIGHT, &MainWindow::TASK_15_LIGHT,
        &MainWindow::TASK_16_LIGHT, &MainWindow::TASK_17_LIGHT, &MainWindow::TASK_18_LIGHT,
        &MainWindow::TASK_19_LIGHT};
    return this->*lights.at(static_cast<std::size_t>(stage - 1));
}

Timer& MainWindow::taskTimer(int stage) {
    static constexpr std::array<Timer MainWindow::*, 20> timers = {
        &MainWindow::TASK_1_MAIN_TIMER,  &MainWindow::TASK_2_MAIN_TIMER,  &MainWindow::TASK_3_MAIN_TIMER,
        &MainWindow::TASK_4_MAIN_TIMER,  &MainWindow::TASK_5_MAIN_TIMER,  &MainWindow::TASK_6_MAIN_TIMER,
        &MainWindow::TASK_7_MAIN_TIMER,  &MainWindow::TASK_8_MAIN_TIMER,  &MainWindow::TASK_9_MAIN_TIMER,
        &MainWindow::TASK_10_MAIN_TIMER, &MainWindow::TASK_11_MAIN_TIMER, &MainWindow::TASK_12_MAIN_TIMER,
        &MainWindow::TASK_13_MAIN_TIMER, &MainWindow::TASK_14_MAIN_TIMER, &MainWindow::TASK_15_MAIN_TIMER,
        &MainWindow::TASK_16_MAIN_TIMER, &MainWindow::TASK_17_MAIN_TIMER, &MainWindow::TASK_18_MAIN_TIMER,
        &MainWindow::TASK_19_MAIN_TIMER, &MainWindow::TASK_20_MAIN_TIMER};
    return this->*timers.at(static_cast<std::size_t>(stage - 1));
}

Label& MainWindow::kittLabel(int n) {
    static constexpr std::array<Label MainWindow::*, 7> labels = {
        &MainWindow::KITT_LABEL_1, &MainWindow::KITT_LABEL_2, &MainWindow::KITT_LABEL_3,
        &MainWindow::KITT_LABEL_4, &MainWindow::KITT_LABEL_5, &MainWindow::KITT_LABEL_6,
        &MainWindow::KITT_LABEL_7};
    return this->*labels.at(static_cast<std::size_t>(n - 1));
}

Timer& MainWindow::kittTimer(int n) {
    static constexpr std::array<Timer MainWindow::*, 16> timers = {
        &MainWindow::KITT_RED_TIMER_1,  &MainWindow::KITT_RED_TIMER_2,  &MainWindow::KITT_RED_TIMER_3,
        &MainWindow::KITT_RED_TIMER_4,  &MainWindow::KITT_RED_TIMER_5,  &MainWindow::KITT_RED_TIMER_6,
        &MainWindow::KITT_RED_TIMER_7,  &MainWindow::KITT_RED_TIMER_8,  &MainWindow::KITT_RED_TIMER_9,
        &MainWindow::KITT_RED_TIMER_10, &MainWindow::KITT_RED_TIMER_11, &MainWindow::KITT_RED_TIMER_12,
        &MainWindow::KITT_RED_TIMER_13, &MainWindow::KITT_RED_TIMER_14, &MainWindow::KITT_RED_TIMER_15,
        &MainWindow::KITT_RED_TIMER_16};
    return this->*timers.at(static_cast<std::size_t>(n - 1));
}

// ---------------------------------------------------------------- opening

void MainWindow::load() {
    restoreGeometry();
    APP_EXE_NAME_LABEL.setText(app().exe());
    setCaption("PACEDECK - " + APP_EXE_NAME_LABEL.text());

    AlwaysOnTopTimer.setInterval(1000);
    restoreTick(ALWAYS_ON_TOP_TICKBOX);
    AlwaysOnTopTimer.setEnabled(ALWAYS_ON_TOP_TICKBOX.ticked());

    giveTimersTheirIntervals();
    NCS_TIMER.start();
    TOOLTIP_TIMER.start();

    RUNTIME_ELAPSED = TimeOfDay();
    AUTOSTART_TIME_LEFT = defaultSecondsOf(AUTOSTART_TIMER_TEXTBOX);
    AUTOCLOSE_TIME_LEFT = defaultSecondsOf(AUTOCLOSE_TIMER_TEXTBOX);
    for (int n = 1; n <= 7; ++n) kittLabel(n).setBack(colour::red);

    restoreSettings();
    // A Save cut short by a kill is finished or undone before anything runs the scripts.
    if (auto settled = FileSave::settle(app(), PACEDECK_HOME_TEXTBOX.text()); !settled)
        status("!!! SAVED FILES NOT SETTLED - " + settled.error + " !!!");

    PROCESS_TEXTBOX_1.setToolTip(QT_NAME_TEXTBOX.text());
    PROCESS_TEXTBOX_2.setToolTip(DAEMON_NAME_TEXTBOX.text());
    PROCESS_TEXTBOX_3.setToolTip(CLI_NAME_TEXTBOX.text());

    BLOCKCOUNT_TIME_LEFT = timeIn(USER_COUNT_TIME_TEXTBOX);
    OVERRIDE_TIME_LEFT = timeIn(USER_OVERRIDE_TIME_TEXTBOX);
    HEARTBEAT_TIME_LEFT = timeIn(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX);

    resetRunRecord();
    restoreStamps();

    restoreTick(AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX);
    if (AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.ticked()) {
        loadText(GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX);
        if (!GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.text().empty())
            if (auto content = app().platform().readFile(GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.text()))
                LAST_BLOCKCOUNT_TEXTBOX.setText(*content);
    }

    for (auto key : stageTickKeys) restoreTick(static_cast<TickBox&>(*find(key)));
    makeChoicesExclusive();

    MULTI_PROCESS_WATCHER_TIMER.start();
    loadTick(TRAY_NOTIFY_TICKBOX);  // the tray icon shows what the window now shows

    if (AUTOSTART_TICKBOX.ticked()) {
        AUTOSTART_START_BUTTON.setText("STOP");
        AUTOSTART_TIMER.start();
    } else {
        AUTOSTART_START_BUTTON.setText("START");
        AUTOSTART_TIMER.stop();
    }
}

void MainWindow::giveTimersTheirIntervals() {
    for (auto* t :
         {&AUTOSTART_TIMER, &AUTOCLOSE_TIMER, &RUNTIME_TIMER, &TOOLTIP_TIMER, &HEARTBEAT_TIMER,
          &BLOCKCOUNTER_COUNTDOWN_TIMER, &GETBLOCKCOUNT_TIMER, &BLOCKCOUNT_TEXTBOX_UPDATER_TIMER,
          &ZERO_EMPTY_TEXTBOX_CHECKER_TIMER, &IDENTICAL_CHECKER_TIMER, &VERIFY_TIMER, &TRIPLE_CHECK_TIMER,
          &COMPLETED_TIMER, &OVERRIDE_TIMER, &FOLDER_SIZER_BEFORE_TIMER, &FOLDER_SIZER_AFTER_TIMER})
        t->setInterval(1000);
    for (int n = 1; n <= 20; ++n) taskTimer(n).setInterval(1000);
    MULTI_PROCESS_WATCHER_TIMER.setInterval(250);
    CLI_PROCESS_WATCHER_TIMER.setInterval(250);
    SYNC_CHECK_TIMER.setInterval(250);
    NCS_TIMER.setInterval(100);
    for (int n = 1; n <= 16; ++n) kittTimer(n).setInterval(100);
    NUMLOCK_TIMER_1.setInterval(750);
    NUMLOCK_TIMER_2.setInterval(750);
    CHECKER_TIMER.setInterval(3000);
}

void MainWindow::restoreTick(TickBox& t) {
    restoreTick(t, t.name());
}

void MainWindow::restoreTick(TickBox& t, std::string_view key) {
    // Restoring acts as the user's tick would, and a user cannot tick a greyed box: so a
    // choice made exclusive by an earlier restore keeps the earlier one.
    if (!t.enabled() && !t.ticked()) return;
    loadTick(t, key);
}

void MainWindow::restoreTime(TextBox& box) {
    auto text = setting(box.name());
    if (!TimeOfDay::parse(text)) text = catalogue::defaultOf(box.name());
    box.setText(text);
}

void MainWindow::restoreSettings() {
    restoreTick(AUTOSTART_TICKBOX);
    restoreTime(USER_COUNT_TIME_TEXTBOX);
    loadText(AUTOSTART_TIMER_TEXTBOX);
    loadText(AUTOCLOSE_TIMER_TEXTBOX);
    // Before the first Save the command fields keep their placeholders.
    for (auto* box : {&SW_QT_COMMAND_TEXTBOX, &SW_D_COMMAND_TEXTBOX, &SWCLI_STOP_COMMAND_TEXTBOX,
                      &GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX, &GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX,
                      &GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX})
        box->setText(setting(box->name(), box->text()));
    loadTick(SYNC_CHECK_TICKBOX);
    restoreTime(STALL_LIMIT_TEXTBOX);
    restoreTime(USER_OVERRIDE_TIME_TEXTBOX);
    restoreTick(OVERRIDE_TIMER_ENABLE_TICKBOX);
    restoreTick(AUTOSTART_OVERRIDE_TIMER_TICKBOX);
    restoreTick(FINISH_WHEN_IDENTICAL_TICKBOX);
    loadText(PACEDECK_HOME_TEXTBOX);
    loadText(BLOCKCHAIN_HOME_TEXTBOX);
    loadText(SE_HOME_TEXTBOX);
    loadText(CRYPTO_NAME_TEXTBOX);
    loadText(QT_NAME_TEXTBOX);
    loadText(DAEMON_NAME_TEXTBOX, "DAEMOND_NAME_TEXTBOX");
    loadText(CLI_NAME_TEXTBOX, "DAEMONCLI_NAME_SETTINGS_TEXTBOX");
    loadText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    loadText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    loadText(AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX);
    loadText(RUN_QT_OR_D_TEXTBOX);
    restoreTick(RUN_QT_TICKBOX);
    restoreTick(RUN_DAEMON_TICKBOX);
    loadText(CONF_FILE_LOCATION_TEXTBOX);
    restoreTime(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX);
}

void MainWindow::resetRunRecord() {
    for (auto* box :
         {&RUN_QT_OR_D_TEXTBOX, &DOWNLOADED_BLOCKS_TEXTBOX, &DATE_TEXTBOX, &TOTAL_RUNTIME_TEXTBOX,
          &START_TIME_TEXTBOX, &END_TIME_TEXTBOX, &BLOCK_VERIFIER_TEXTBOX, &BLOCK_TRIPLE_CHECK_TEXTBOX,
          &BLOCKCOUNT_LOG_END_TEXTBOX, &FILE_SIZE_BYTES_TEXTBOX, &FILE_SIZE_KILOBYTES_TEXTBOX,
          &FILE_SIZE_MEGABYTES_TEXTBOX, &FILE_SIZE_GIGABYTES_TEXTBOX, &FILE_SIZE_TERABYTES_TEXTBOX,
          &FILE_SIZE_PETABYTES_TEXTBOX})
        box->setText("");
    BC_FOLDER_SIZE_BEFORE.setText("!!! STILL TO RUN !!!");
    BC_FOLDER_SIZE_AFTER.setText("!!! STILL TO RUN !!!");
    BLOCKCOUNT_LOG_START_TEXTBOX.setText("0");
}

void MainWindow::restoreStamps() {
    auto restore = [this](TextBox& box, std::string_view key) {
        box.setText(setting(key));
        // Before the first run there is no outcome to show: the box stays neutral.
        if (box.text().empty())
            box.setColours(colour::windowText, colour::windowBackground);
        else
            box.setColours(colour::black, box.text() == completedStamp ? colour::green : colour::red);
    };
    restore(MULTILOADER_LAST_RUN_TEXTBOX, "MULTILOADER_LAST_RUN_TEXTBOX");
    restore(BLOCKCOUNTER_LAST_RUN_TEXTBOX, "BLOCKCOUNTER_LAST_RUN");
}

void MainWindow::makeChoicesExclusive() {
    if (RUN_QT_TICKBOX.ticked()) {
        RUN_DAEMON_TICKBOX.setValue(0);
        RUN_DAEMON_TICKBOX.setEnabled(false);
    } else {
        RUN_DAEMON_TICKBOX.setEnabled(true);
    }
    if (RUN_DAEMON_TICKBOX.ticked()) {
        RUN_QT_TICKBOX.setValue(0);
        RUN_QT_TICKBOX.setEnabled(false);
    } else {
        RUN_QT_TICKBOX.setEnabled(true);
    }
    if (TASK_19_ENABLE_TICKBOX.ticked()) {
        TASK_20_ENABLE_TICKBOX.setValue(0);
        TASK_20_ENABLE_TICKBOX.setEnabled(false);
        AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.setText("AUTOCLOSE");
        AUTOTIMER_ACTION_TEXTBOX.setText("");
    } else {
        TASK_20_ENABLE_TICKBOX.setEnabled(true);
    }
    if (TASK_20_ENABLE_TICKBOX.ticked()) {
        TASK_19_ENABLE_TICKBOX.setValue(0);
        TASK_19_ENABLE_TICKBOX.setEnabled(false);
        AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.setText("POWER AUTOTIMER");
        loadText(AUTOTIMER_ACTION_TEXTBOX);
    } else {
        TASK_19_ENABLE_TICKBOX.setEnabled(true);
    }
}

// ---------------------------------------------------------------- choices

void MainWindow::alwaysOnTopClicked() {
    AlwaysOnTopTimer.setEnabled(ALWAYS_ON_TOP_TICKBOX.ticked());
    storeTick(ALWAYS_ON_TOP_TICKBOX);
}

namespace {
// One of two exclusive choices clicked: ticking clears and greys the other and names the
// choice in its field; clearing frees the other and empties the field.
void exclusiveChoice(TickBox& chosen, TickBox& other, TextBox& field, std::string_view name) {
    if (chosen.ticked()) {
        other.setValue(0);
        other.setEnabled(false);
        field.setText(name);
    } else {
        other.setEnabled(true);
        field.setText("");
    }
}
}  // namespace

void MainWindow::runQtClicked() {
    exclusiveChoice(RUN_QT_TICKBOX, RUN_DAEMON_TICKBOX, RUN_QT_OR_D_TEXTBOX, "QT");
}

void MainWindow::runDaemonClicked() {
    exclusiveChoice(RUN_DAEMON_TICKBOX, RUN_QT_TICKBOX, RUN_QT_OR_D_TEXTBOX, "DAEMON");
}

void MainWindow::autocloseChoiceClicked() {
    exclusiveChoice(TASK_19_ENABLE_TICKBOX, TASK_20_ENABLE_TICKBOX, AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX,
                    "AUTOCLOSE");
    storeText(AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX);
}

void MainWindow::powerAutotimerChoiceClicked() {
    exclusiveChoice(TASK_20_ENABLE_TICKBOX, TASK_19_ENABLE_TICKBOX, AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX,
                    "POWER AUTOTIMER");
    if (!TASK_20_ENABLE_TICKBOX.ticked()) AUTOTIMER_ACTION_TEXTBOX.setText("");
    storeText(AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX);
}

// ---------------------------------------------------------------- countdowns and clock

void MainWindow::autostartButtonClicked() {
    if (AUTOSTART_START_BUTTON.text() == "START") {
        AUTOSTART_START_BUTTON.setText("STOP");
        AUTOSTART_TIMER.start();
    } else {
        AUTOSTART_START_BUTTON.setText("START");
        AUTOSTART_TIMER.stop();
    }
}

void MainWindow::autostartTick() {
    AUTOSTART_START_BUTTON.setText("STOP");
    status("!!! AUTOSTARTING !!!");
    AUTOSTART_TIMER_TEXTBOX.setBack(colour::green);
    AUTOSTART_TIME_LEFT = AUTOSTART_TIME_LEFT.minusSecond();
    AUTOSTART_TIMER_TEXTBOX.setText(AUTOSTART_TIME_LEFT.ss());
    if (AUTOSTART_TIMER_TEXTBOX.text() == "00") {
        AUTOSTART_TIMER_TEXTBOX.setText("-- --");
        AUTOSTART_START_BUTTON.setText("START");
        AUTOSTART_START_BUTTON.setEnabled(false);
        MULTILOADER_START_STOP_BUTTON.setText("STOP");
        pipeline.start();
        AUTOSTART_TIMER.stop();
    }
}

void MainWindow::autocloseButtonClicked() {
    if (AUTOCLOSE_START_BUTTON.text() == "START") {
        AUTOCLOSE_START_BUTTON.setText("STOP");
        AUTOCLOSE_TIMER.start();
    } else {
        AUTOCLOSE_START_BUTTON.setText("START");
        AUTOCLOSE_TIMER.stop();
    }
}

void MainWindow::autocloseTick() {
    // The run was stamped at its end (stage 19); the countdown only closes the window or,
    // with AUTOCLOSE cleared meanwhile, makes it ready for the next run.
    if (TASK_19_ENABLE_TICKBOX.ticked()) {
        TASK_19_LIGHT.setBack(colour::green);
        AUTOCLOSE_TIMER_TEXTBOX.setBack(colour::green);
        AUTOCLOSE_START_BUTTON.setText("STOP");
        AUTOCLOSE_START_BUTTON.setEnabled(true);
        AUTOCLOSE_TIME_LEFT = AUTOCLOSE_TIME_LEFT.minusSecond();
        AUTOCLOSE_TIMER_TEXTBOX.setText(AUTOCLOSE_TIME_LEFT.ss());
        if (AUTOCLOSE_TIMER_TEXTBOX.text() == "00") {
            AUTOCLOSE_TIMER_TEXTBOX.setText("-- --");
            status("!!! AUTOCLOSING !!!");
            SettingsStore::Batch batch(app().store());
            saveOnAutoclose();
            close();
            app().commitSettings(batch, className());
        }
    } else {
        AUTOCLOSE_START_BUTTON.setText("START");
        MULTILOADER_START_STOP_BUTTON.setText("START");
        AUTOCLOSE_START_BUTTON.setEnabled(false);
        AUTOSTART_START_BUTTON.setEnabled(true);
        AUTOCLOSE_TIMER.stop();
    }
}

// ---------------------------------------------------------------- the outcome of a run

void MainWindow::beginRun() {
    // A new start while a run still goes on (the tail of a stopped run whose blockcounter
    // ended after STOP, or the autostart firing into a run started by hand) ends that run first.
    stampRunOutcome(restartedStamp);
    forgetEarlierRun();
    runInProgress_ = true;
}

void MainWindow::joinRunAtBlockcounterEnd() {
    // Within a run this changes nothing; after a blockcounter started by its own START, what
    // it noted on its way here belongs to the run it becomes.
    runInProgress_ = true;
}

void MainWindow::forgetEarlierRun() {
    runFault_.clear();
    // Stages 6 and 10 give this run its own numbers; until then it has none.
    BLOCKCOUNT_LOG_START_TEXTBOX.setText("");
    BLOCKCOUNT_LOG_END_TEXTBOX.setText("");
    // A run without a sync check keeps no history: an older one must not be charted as its.
    if (!PACEDECK_HOME_TEXTBOX.text().empty()) app().platform().removeFile(home().syncHistory());
}

RunOutcome MainWindow::runOutcome() const {
    if (runFault_.empty()) return {std::string(completedStamp), true};
    return {runFault_, false};
}

void MainWindow::stampRunOutcome(std::string_view cutShort) {
    if (!runInProgress_) return;
    runInProgress_ = false;
    runEndedHere_ = true;
    const RunOutcome outcome = cutShort.empty() ? runOutcome() : RunOutcome{std::string(cutShort), false};
    // Nothing of this run may leak into the next, not even into the tail of a stopped run.
    runFault_.clear();
    MULTILOADER_LAST_RUN_TEXTBOX.setText(outcome.stamp);
    MULTILOADER_LAST_RUN_TEXTBOX.setColours(colour::black, outcome.success ? colour::green : colour::red);
    storeText(MULTILOADER_LAST_RUN_TEXTBOX);
    presence.runEnded();  // the run's history line and its notification, after the stamp
}

void MainWindow::runtimeTick() {
    RUNTIME_ELAPSED = RUNTIME_ELAPSED.plusSecond();
    RUNTIME_LABEL.setText(RUNTIME_ELAPSED.hhmmss());
}

// ---------------------------------------------------------------- leaving

void MainWindow::saveTheRunChoices() {
    storeTick(ALWAYS_ON_TOP_TICKBOX);
    storeTick(AUTOSTART_TICKBOX);
    storeTick(FINISH_WHEN_IDENTICAL_TICKBOX);
    storeText(USER_COUNT_TIME_TEXTBOX);
    storeText(USER_OVERRIDE_TIME_TEXTBOX);
    storeTick(OVERRIDE_TIMER_ENABLE_TICKBOX);
    storeTick(AUTOSTART_OVERRIDE_TIMER_TICKBOX);
    for (auto key : stageTickKeys) storeTick(static_cast<TickBox&>(*find(key)));
    storeTick(RUN_QT_TICKBOX);
    storeTick(RUN_DAEMON_TICKBOX);
    storeText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    storeText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    storeText(RUN_QT_OR_D_TEXTBOX);
}

void MainWindow::saveOnAutoclose() {
    storeText(MULTILOADER_LAST_RUN_TEXTBOX);
    saveTheRunChoices();
}

void MainWindow::exitClicked() {
    SettingsStore::Batch batch(app().store());
    storePosition("DESKTOP");
    saveTheRunChoices();
    // EXIT cuts a run in progress short. After a run that ended in this window, that run's
    // outcome stays the stamp: the next start must show a fault, not hide it behind the exit.
    if (runInProgress_) {
        stampRunOutcome(manualExitStamp);
    } else if (!runEndedHere_) {
        MULTILOADER_LAST_RUN_TEXTBOX.setText(manualExitStamp);
        storeText(MULTILOADER_LAST_RUN_TEXTBOX);
    }
    close();
    app().commitSettings(batch, className());
}

void MainWindow::unload() {
    // Closed during a run (the close box, the end of the session): the run was cut short.
    stampRunOutcome(windowClosedStamp);
    storePosition();
    storeTick(AUTOSTART_TICKBOX);
    storeTick(FINISH_WHEN_IDENTICAL_TICKBOX);
    storeText(USER_COUNT_TIME_TEXTBOX);
    storeText(USER_OVERRIDE_TIME_TEXTBOX);
    storeTick(OVERRIDE_TIMER_ENABLE_TICKBOX);
    storeTick(AUTOSTART_OVERRIDE_TIMER_TICKBOX);
    for (auto key : stageTickKeys) storeTick(static_cast<TickBox&>(*find(key)));
    storeText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    storeText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    storeText(RUN_QT_OR_D_TEXTBOX);
}

}  // namespace pd
