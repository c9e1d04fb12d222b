#pragma once
#include <array>
#include <string>

#include "core/Window.hpp"
#include "platform/Platform.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/ScheduledTask.hpp"

namespace pd {

// PACEDECK_SCHEDULER_WINDOW: the weekly task that starts this copy of the program. The
// window builds the task's commands, shows each one and runs it; what it believes about
// the task is the status word it stores itself.
class SchedulerWindow final : public Window {
  public:
    explicit SchedulerWindow(App& app);
    LayoutNode layout() override;

    static constexpr const char* created = "TASK-CREATED";
    static constexpr const char* deleted = "TASK-DELETED";

    // clang-format off
    TextBox TASK_RUN_TIME_TEXTBOX{*this, "TASK_RUN_TIME_TEXTBOX", {.text = "00:00", .tip = "HH:MM, 24-HOUR"}};
    TickBox SELECT_ALL_DAYS_TICKBOX{*this, "SELECT_ALL_DAYS_TICKBOX", {.text = "Every Day"}};
    TickBox MON_TICKBOX{*this, "MON_TICKBOX", {.text = "Monday"}};
    TickBox TUE_TICKBOX{*this, "TUE_TICKBOX", {.text = "Tuesday"}};
    TickBox WED_TICKBOX{*this, "WED_TICKBOX", {.text = "Wednesday"}};
    TickBox THU_TICKBOX{*this, "THU_TICKBOX", {.text = "Thursday"}};
    TickBox FRI_TICKBOX{*this, "FRI_TICKBOX", {.text = "Friday"}};
    TickBox SAT_TICKBOX{*this, "SAT_TICKBOX", {.text = "Saturday"}};
    TickBox SUN_TICKBOX{*this, "SUN_TICKBOX", {.text = "Sunday"}};
    TickBox ENABLE_SCHED_TASK_TICKBOX{*this, "ENABLE_SCHED_TASK_TICKBOX", {.text = "Enable Scheduled Task", .enabled = false}};
    TextBox TASK_STATUS_TEXTBOX{*this, "TASK_STATUS_TEXTBOX", {.text = deleted, .visible = false}};
    TickBox ENABLE_DELETE_BUTTON_TICKBOX{*this, "ENABLE_DELETE_BUTTON_TICKBOX", {.text = "Enable Delete", .enabled = false}};
    TickBox ONLY_VIEW_COMMAND_TICKBOX{*this, "ONLY_VIEW_COMMAND_TICKBOX", {.text = "ONLY VIEW COMMANDS"}};
    TextBox TASK_NAME_TEXTBOX{*this, "TASK_NAME_TEXTBOX", {.locked = true}};
    TextBox OUTPUT_COMMAND_TEXTBOX{*this, "OUTPUT_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox SELECTED_DAYS_TEXTBOX{*this, "SELECTED_DAYS_TEXTBOX", {.visible = false}};
    TextBox MON_TEXTBOX{*this, "MON_TEXTBOX", {.visible = false}};
    TextBox TUE_TEXTBOX{*this, "TUE_TEXTBOX", {.visible = false}};
    TextBox WED_TEXTBOX{*this, "WED_TEXTBOX", {.visible = false}};
    TextBox THU_TEXTBOX{*this, "THU_TEXTBOX", {.visible = false}};
    TextBox FRI_TEXTBOX{*this, "FRI_TEXTBOX", {.visible = false}};
    TextBox SAT_TEXTBOX{*this, "SAT_TEXTBOX", {.visible = false}};
    TextBox SUN_TEXTBOX{*this, "SUN_TEXTBOX", {.visible = false}};
    TextBox PACEDECK_HOME_TEXTBOX{*this, "PACEDECK_HOME_TEXTBOX", {.visible = false}};
    TextBox SM_TB{*this, "SM_TB", {.text = "\"", .visible = false}};
    TextBox RUN_SCHED_COMMAND_TEXTBOX{*this, "RUN_SCHED_COMMAND_TEXTBOX", {.visible = false}};
    TextBox COMMAND_LINE_OPTIONS_TEXTBOX{*this, "COMMAND_LINE_OPTIONS_TEXTBOX", {.locked = true, .multiLine = true}};
    Label NOTICE_LABEL{*this, "NOTICE_LABEL", {.text = "!!! CHANGES MADE IN THE SYSTEM'S OWN TASK SCHEDULER ARE NOT SHOWN HERE !!!", .fore = colour::red}};
    Label TASK_RESULT_LABEL{*this, "TASK_RESULT_LABEL"};
    Button CREATE_TASK_BUTTON{*this, "CREATE_TASK_BUTTON", {.text = "Create Task", .enabled = false}};
    Button DELETE_TASK_BUTTON{*this, "DELETE_TASK_BUTTON", {.text = "Delete Task", .enabled = false}};
    // Never shown: a change of the task in place, and the system's own task scheduler.
    Button SAVE_TASK_BUTTON{*this, "SAVE_TASK_BUTTON", {.text = "Save Task", .enabled = false, .visible = false}};
    Button OPEN_WIN_SCHED_BUTTON{*this, "OPEN_WIN_SCHED_BUTTON", {.text = "Open Windows Task Scheduler", .visible = false}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override;

  private:
    std::array<TickBox*, 7> weekdays();
    std::array<TickBox*, 8> dayOptions();
    std::array<TextBox*, 7> dayFields();

    void openAsCreated();
    void openAsDeleted();

    void dayOptionClicked(TickBox& option);
    void createClicked();
    void enableDeleteClicked();
    void deleteClicked();
    void enableTaskClicked();
    void okClicked();

    void refreshDayList();
    void showAsCreated();
    // Runs a command of the task without blocking and says in the window how it went when
    // it has ended; then hands on whether it succeeded.
    void runTaskCommand(const std::string& command, std::string_view success,
                        std::function<void(bool)> then = nullptr);
    void report(std::string_view text, bool failed);

    ScheduledTask task_;
    Timer commandPoller_{*this, "commandPoller"};
    CommandQueue commands_;
    bool resetting_ = false;  // the window itself clears the enable tick: nothing to run
};

}  // namespace pd
