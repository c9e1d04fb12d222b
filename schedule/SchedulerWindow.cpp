#include "schedule/SchedulerWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
constexpr std::string_view everyDay = "MON,TUE,WED,THU,FRI,SAT,SUN ";

std::string referenceText(const Profile& p) {
    const auto& nl = p.lineEnd;
    if (p.taskScheduler == TaskScheduler::SchTasks)
        return "SchTasks /Create - makes the task:" + nl + "   /SC WEEKLY  once a week" + nl +
               "   /D MON,TUE,...  the days (MON TUE WED THU FRI SAT SUN)" + nl +
               "   /TN name  the task's name" + nl + "   /TR program  what the task starts" + nl +
               "   /ST HH:mm  the start time, 24-hour" + nl +
               "SchTasks /Delete /TN name /F - removes the task without asking" + nl +
               "SchTasks /Change /TN name /ENABLE or /DISABLE - switches the task on or off" + nl +
               "SchTasks /? - the full help of the tool" + nl;
    return "crontab -l - lists your crontab" + nl +
           "crontab - - installs a crontab read from standard input" + nl +
           "A line: minute hour day-of-month month day-of-week command" + nl +
           "   day of week: 0 = Sunday ... 6 = Saturday, * = every day" + nl +
           "   a line that begins with # is switched off" + nl +
           "   the text after the last # names the task" + nl + "man 5 crontab - the full help" + nl;
}
}  // namespace

SchedulerWindow::SchedulerWindow(App& app)
    : Window(app, "PACEDECK_SCHEDULER_WINDOW", "PACEDECK - WEEKLY SCHEDULED TASK"),
      task_(app.profile(), app.exe(), GraphicalSession::of(app.platform()), app.ownFile()),
      commands_(app.platform(), commandPoller_) {
    for (auto* option : dayOptions()) option->onChange = [this, option] { dayOptionClicked(*option); };
    CREATE_TASK_BUTTON.onClick = [this] { createClicked(); };
    ENABLE_DELETE_BUTTON_TICKBOX.onChange = [this] { enableDeleteClicked(); };
    DELETE_TASK_BUTTON.onClick = [this] { deleteClicked(); };
    ENABLE_SCHED_TASK_TICKBOX.onChange = [this] { enableTaskClicked(); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    RUN_SCHED_COMMAND_TEXTBOX.setText(task_.consoleCommand());
    COMMAND_LINE_OPTIONS_TEXTBOX.setText(referenceText(app.profile()));
}

std::array<TickBox*, 7> SchedulerWindow::weekdays() {
    return {&MON_TICKBOX, &TUE_TICKBOX, &WED_TICKBOX, &THU_TICKBOX, &FRI_TICKBOX, &SAT_TICKBOX, &SUN_TICKBOX};
}

std::array<TickBox*, 8> SchedulerWindow::dayOptions() {
    return {&SELECT_ALL_DAYS_TICKBOX,
            &MON_TICKBOX,
            &TUE_TICKBOX,
            &WED_TICKBOX,
            &THU_TICKBOX,
            &FRI_TICKBOX,
            &SAT_TICKBOX,
            &SUN_TICKBOX};
}

std::array<TextBox*, 7> SchedulerWindow::dayFields() {
    return {&MON_TEXTBOX, &TUE_TEXTBOX, &WED_TEXTBOX, &THU_TEXTBOX, &FRI_TEXTBOX, &SAT_TEXTBOX, &SUN_TEXTBOX};
}

// ---------------------------------------------------------------- opening

void SchedulerWindow::load() {
    restoreGeometry();
    loadText(TASK_RUN_TIME_TEXTBOX);
    for (auto* option : dayOptions()) {
        // Restoring acts as the user's tick: a box greyed by an earlier option stays clear.
        if (option->enabled()) loadTick(*option);
    }
    // Restored as ticked, the tick's rule runs the enable command once.
    loadTick(ENABLE_SCHED_TASK_TICKBOX);
    loadText(TASK_STATUS_TEXTBOX);

    OUTPUT_COMMAND_TEXTBOX.setText("");
    for (auto* field : dayFields()) field->setText("");
    refreshDayList();
    TASK_NAME_TEXTBOX.setText(task_.name());
    PACEDECK_HOME_TEXTBOX.setText(mainWindow(app()).PACEDECK_HOME_TEXTBOX.text());

    if (TASK_STATUS_TEXTBOX.text() == created)
        openAsCreated();
    else
        openAsDeleted();
}

void SchedulerWindow::openAsCreated() {
    CREATE_TASK_BUTTON.setEnabled(false);
    ENABLE_DELETE_BUTTON_TICKBOX.setEnabled(true);
    ENABLE_SCHED_TASK_TICKBOX.setEnabled(true);
    // The day options show the schedule of the task but cannot change it.
    for (auto* option : dayOptions()) option->setEnabled(false);
    TASK_RUN_TIME_TEXTBOX.setLocked(true);
}

void SchedulerWindow::openAsDeleted() {
    ENABLE_DELETE_BUTTON_TICKBOX.setEnabled(false);
    ENABLE_DELETE_BUTTON_TICKBOX.setValue(0);
    ENABLE_SCHED_TASK_TICKBOX.setEnabled(false);
    ENABLE_SCHED_TASK_TICKBOX.setValue(0);
    // Without a task no day is chosen, "Every Day" included, so the options open exclusive
    // and "Create Task" waits for a choice.
    for (auto* option : dayOptions()) {
        option->setValue(0);
        option->setEnabled(true);
    }
    TASK_RUN_TIME_TEXTBOX.setLocked(false);
    CREATE_TASK_BUTTON.setEnabled(false);
}

// ---------------------------------------------------------------- handlers

void SchedulerWindow::dayOptionClicked(TickBox& option) {
    // Either "Every Day" or exactly one weekday, or nothing.
    bool chosen = option.ticked();
    for (auto* other : dayOptions()) {
        if (other == &option) continue;
        other->setValue(0);
        other->setEnabled(!chosen);
    }
    CREATE_TASK_BUTTON.setEnabled(chosen);
    refreshDayList();
}

void SchedulerWindow::createClicked() {
    if (!ScheduledTask::isRunTime(TASK_RUN_TIME_TEXTBOX.text())) {
        OUTPUT_COMMAND_TEXTBOX.setText("");
        report("!!! THE RUN TIME MUST READ HH:MM, 24-HOUR !!!", true);
        return;
    }
    refreshDayList();
    // A line break would add a crontab line of someone's choosing.
    if (auto fault = task_.lineFault(PACEDECK_HOME_TEXTBOX.text()); !fault.empty()) {
        OUTPUT_COMMAND_TEXTBOX.setText("");
        report("!!! NO TASK CREATED - " + fault + " !!!", true);
        return;
    }
    auto command = task_.createCommand(SELECTED_DAYS_TEXTBOX.text(), PACEDECK_HOME_TEXTBOX.text(),
                                       TASK_RUN_TIME_TEXTBOX.text());
    OUTPUT_COMMAND_TEXTBOX.setText(command);
    if (ONLY_VIEW_COMMAND_TICKBOX.ticked()) return;
    // A task that starts a program that is not there would fail every week, unseen.
    const auto program = task_.program(PACEDECK_HOME_TEXTBOX.text());
    if (!app().platform().exists(program)) {
        report("!!! NO TASK CREATED - THE PROGRAM " + program + " DOES NOT EXIST !!!", true);
        return;
    }

    CREATE_TASK_BUTTON.setEnabled(false);
    runTaskCommand(command, "TASK CREATED", [this](bool ok) {
        if (!ok) {
            // No task was made: the window stays as it was, ready for another try.
            CREATE_TASK_BUTTON.setEnabled(true);
            return;
        }
        TASK_STATUS_TEXTBOX.setText(created);
        storeText(TASK_STATUS_TEXTBOX);
        showAsCreated();
    });
}

void SchedulerWindow::showAsCreated() {
    ENABLE_SCHED_TASK_TICKBOX.setEnabled(true);
    ENABLE_DELETE_BUTTON_TICKBOX.setEnabled(true);
    for (auto* option : dayOptions()) option->setEnabled(false);
    TASK_RUN_TIME_TEXTBOX.setLocked(true);
}

void SchedulerWindow::enableDeleteClicked() {
    DELETE_TASK_BUTTON.setEnabled(ENABLE_DELETE_BUTTON_TICKBOX.ticked());
}

void SchedulerWindow::deleteClicked() {
    auto command = task_.deleteCommand();
    OUTPUT_COMMAND_TEXTBOX.setText(command);
    if (ONLY_VIEW_COMMAND_TICKBOX.ticked()) return;

    // A task removed by hand makes the delete fail; the window still returns to "no
    // task", and the failure comes into view when the command has ended.
    runTaskCommand(command, "TASK DELETED");
    TASK_STATUS_TEXTBOX.setText(deleted);
    storeText(TASK_STATUS_TEXTBOX);
    CREATE_TASK_BUTTON.setEnabled(true);
    DELETE_TASK_BUTTON.setEnabled(false);
    ENABLE_DELETE_BUTTON_TICKBOX.setValue(0);
    ENABLE_SCHED_TASK_TICKBOX.setEnabled(false);
    // The deleted task cannot be disabled: a disable now would fail and hide the delete's result.
    resetting_ = true;
    ENABLE_SCHED_TASK_TICKBOX.setValue(0);
    resetting_ = false;
    for (auto* option : dayOptions()) option->setValue(0);
    for (auto* option : dayOptions()) option->setEnabled(true);
    TASK_RUN_TIME_TEXTBOX.setText("00:00");
    TASK_RUN_TIME_TEXTBOX.setLocked(false);
}

void SchedulerWindow::enableTaskClicked() {
    if (resetting_) return;
    // Switching the task on or off always runs, whatever "ONLY VIEW COMMANDS" says.
    bool on = ENABLE_SCHED_TASK_TICKBOX.ticked();
    auto command = on ? task_.enableCommand() : task_.disableCommand();
    OUTPUT_COMMAND_TEXTBOX.setText(command);
    runTaskCommand(command, on ? "TASK ENABLED" : "TASK DISABLED");
}

void SchedulerWindow::okClicked() {
    SettingsStore::Batch batch(app().store());
    storePosition();
    storeText(TASK_RUN_TIME_TEXTBOX);
    for (auto* option : dayOptions()) storeTick(*option);
    storeTick(ENABLE_SCHED_TASK_TICKBOX);
    storeText(TASK_STATUS_TEXTBOX);
    close();
    app().commitSettings(batch, className());
}

void SchedulerWindow::unload() {
    storePosition();
}

// ---------------------------------------------------------------- helpers

void SchedulerWindow::refreshDayList() {
    if (SELECT_ALL_DAYS_TICKBOX.ticked()) {
        SELECTED_DAYS_TEXTBOX.setText(everyDay);
        return;
    }
    static constexpr std::array<std::string_view, 7> names = {"MON ", "TUE ", "WED ", "THU ",
                                                              "FRI ", "SAT ", "SUN "};
    std::string list;
    for (std::size_t d = 0; d < names.size(); ++d) {
        dayFields()[d]->setText(weekdays()[d]->ticked() ? names[d] : "");
        list += dayFields()[d]->text();
    }
    SELECTED_DAYS_TEXTBOX.setText(list);
}

void SchedulerWindow::runTaskCommand(const std::string& command, std::string_view success,
                                     std::function<void(bool)> then) {
    report("!!! RUNNING THE COMMAND... !!!", false);
    commands_.run(command, [this, success = std::string(success), then = std::move(then)](auto& result) {
        if (result.ok())
            report(success, false);
        else
            report(commandFailure(result), true);
        if (then) then(result.ok());
    });
}

void SchedulerWindow::report(std::string_view text, bool failed) {
    TASK_RESULT_LABEL.setText(text);
    TASK_RESULT_LABEL.setFore(failed ? colour::red : colour::windowText);
}

// ---------------------------------------------------------------- layout

LayoutNode SchedulerWindow::layout() {
    return column({
        row({labelled("Task Name", TASK_NAME_TEXTBOX, 30), labelled("Run Time", TASK_RUN_TIME_TEXTBOX, 6)}),
        group("Days", {row({SELECT_ALL_DAYS_TICKBOX, MON_TICKBOX, TUE_TICKBOX, WED_TICKBOX}),
                       row({THU_TICKBOX, FRI_TICKBOX, SAT_TICKBOX, SUN_TICKBOX})}),
        row({CREATE_TASK_BUTTON, ENABLE_DELETE_BUTTON_TICKBOX, DELETE_TASK_BUTTON, ENABLE_SCHED_TASK_TICKBOX,
             ONLY_VIEW_COMMAND_TICKBOX, SAVE_TASK_BUTTON, OPEN_WIN_SCHED_BUTTON}),
        label("Output Command"),
        sized(OUTPUT_COMMAND_TEXTBOX, 70, 3),
        TASK_RESULT_LABEL,
        label("Command Line Options"),
        sized(COMMAND_LINE_OPTIONS_TEXTBOX, 70, 6),
        NOTICE_LABEL,
        row({stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd
