#include <gtest/gtest.h>

#include "Harness.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/SchedulerWindow.hpp"

namespace pd::test {

namespace {
constexpr const char* winHome = "C:\\SYNCWARD-ROOT\\PACEDECK";

struct SchedulerHarness : Harness {
    explicit SchedulerHarness(std::string exe = "BTC", Profile profile = windowsProfile(),
                              std::string home = winHome)
        : Harness(std::move(exe), std::move(profile)) {
        put("PACEDECK_HOME_TEXTBOX", home);
        platform.files[ScheduledTask(app.profile(), app.exe()).program(home)] = "the program";
    }
    // The commands run without blocking; their results come at the next poll.
    void settle() { advance(CommandQueue::pollMs); }
    SchedulerWindow& open() {
        start();
        return app.open<SchedulerWindow>(&main());
    }
};

std::vector<TickBox*> options(SchedulerWindow& w) {
    return {&w.SELECT_ALL_DAYS_TICKBOX,
            &w.MON_TICKBOX,
            &w.TUE_TICKBOX,
            &w.WED_TICKBOX,
            &w.THU_TICKBOX,
            &w.FRI_TICKBOX,
            &w.SAT_TICKBOX,
            &w.SUN_TICKBOX};
}
}  // namespace

TEST(SchedulerWindow, OneDayOptionGreysTheOthersAndUntickingFreesThemAgain) {
    SchedulerHarness h;
    auto& w = h.open();
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
    ASSERT_TRUE(w.TUE_TICKBOX.click());
    for (auto* o : options(w))
        if (o != &w.TUE_TICKBOX) {
            EXPECT_FALSE(o->enabled()) << o->name();
        }
    EXPECT_TRUE(w.CREATE_TASK_BUTTON.enabled());
    EXPECT_EQ(w.TUE_TEXTBOX.text(), "TUE ");
    EXPECT_EQ(w.SELECTED_DAYS_TEXTBOX.text(), "TUE ");

    ASSERT_TRUE(w.TUE_TICKBOX.click());
    for (auto* o : options(w)) {
        EXPECT_TRUE(o->enabled()) << o->name();
        EXPECT_FALSE(o->ticked()) << o->name();
    }
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
    EXPECT_EQ(w.SELECTED_DAYS_TEXTBOX.text(), "");

    ASSERT_TRUE(w.SELECT_ALL_DAYS_TICKBOX.click());
    for (auto* o : options(w))
        if (o != &w.SELECT_ALL_DAYS_TICKBOX) {
            EXPECT_FALSE(o->enabled()) << o->name();
        }
    EXPECT_EQ(w.SELECTED_DAYS_TEXTBOX.text(), "MON,TUE,WED,THU,FRI,SAT,SUN ");
    EXPECT_FALSE(w.MON_TICKBOX.click());  // greyed
}

TEST(SchedulerWindow, CreateRunsTheSchTasksLineWithTheDayListAndRecordsTheTask) {
    for (auto [pick, days] : {std::pair{"SELECT_ALL_DAYS_TICKBOX", "MON,TUE,WED,THU,FRI,SAT,SUN"},
                              std::pair{"WED_TICKBOX", "WED"}}) {
        SchedulerHarness h;
        auto& w = h.open();
        EXPECT_EQ(w.TASK_NAME_TEXTBOX.text(), "PACEDECK - BTC");
        ASSERT_TRUE(w.TASK_RUN_TIME_TEXTBOX.type("06:30"));
        ASSERT_TRUE(static_cast<TickBox*>(w.find(pick))->click());
        ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
        h.settle();
        std::string expected =
            std::string("SchTasks /Create /SC WEEKLY /D ") + days +
            " /TN \"PACEDECK - BTC\" /TR \"C:\\SYNCWARD-ROOT\\PACEDECK\\BTC.exe\" /ST 06:30";
        EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(), expected);
        ASSERT_EQ(h.platform.launched(), std::vector<std::string>{expected});
        EXPECT_EQ(h.platform.launches[0].style, WindowStyle::Hidden);
        EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "TASK-CREATED");
        EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK CREATED");
        EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
        EXPECT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.enabled());
        EXPECT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.enabled());
        EXPECT_TRUE(w.TASK_RUN_TIME_TEXTBOX.locked());
        for (auto* o : options(w)) EXPECT_FALSE(o->enabled()) << o->name();
        // The day options, time and enable tick wait for OK.
        EXPECT_EQ(h.stored("TASK_RUN_TIME_TEXTBOX"), "<unset>");
    }
}

TEST(SchedulerWindow, OnlyViewingShowsTheCommandAndLeavesNoTask) {
    SchedulerHarness h;
    auto& w = h.open();
    ASSERT_TRUE(w.ONLY_VIEW_COMMAND_TICKBOX.click());
    ASSERT_TRUE(w.FRI_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "SchTasks /Create /SC WEEKLY /D FRI /TN \"PACEDECK - BTC\" /TR "
              "\"C:\\SYNCWARD-ROOT\\PACEDECK\\BTC.exe\" "
              "/ST 00:00");
    EXPECT_TRUE(h.platform.launches.empty());
    EXPECT_EQ(w.TASK_STATUS_TEXTBOX.text(), "TASK-DELETED");
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "<unset>");
    EXPECT_TRUE(w.CREATE_TASK_BUTTON.enabled());

    // Deleting is only shown as well.
    h.put("TASK_STATUS_TEXTBOX", "TASK-CREATED");
    w.close();
    auto& again = h.app.open<SchedulerWindow>(&h.main());
    ASSERT_TRUE(again.ONLY_VIEW_COMMAND_TICKBOX.click());
    ASSERT_TRUE(again.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(again.DELETE_TASK_BUTTON.click());
    EXPECT_EQ(again.OUTPUT_COMMAND_TEXTBOX.text(), "SchTasks /Delete /TN \"PACEDECK - BTC\" /F");
    EXPECT_TRUE(h.platform.launches.empty());
    EXPECT_EQ(again.TASK_STATUS_TEXTBOX.text(), "TASK-CREATED");
}

TEST(SchedulerWindow, AFailedCreateIsShownAndNoTaskIsRecorded) {
    SchedulerHarness h;
    h.platform.commandResult = {true, 1, "ERROR: Access is denied.\r\nmore"};
    auto& w = h.open();
    ASSERT_TRUE(w.MON_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    h.settle();
    EXPECT_EQ(h.platform.launches.size(), 1u);
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(),
              "!!! THE COMMAND FAILED (EXIT STATUS 1): ERROR: Access is denied. !!!");
    EXPECT_EQ(w.TASK_RESULT_LABEL.fore(), colour::red);
    EXPECT_EQ(w.TASK_STATUS_TEXTBOX.text(), "TASK-DELETED");
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "<unset>");
    EXPECT_TRUE(w.CREATE_TASK_BUTTON.enabled());
    EXPECT_TRUE(w.MON_TICKBOX.enabled());
    EXPECT_FALSE(w.ENABLE_DELETE_BUTTON_TICKBOX.enabled());

    h.platform.commandResult = {false, -1, "no shell"};
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    h.settle();
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "!!! THE COMMAND COULD NOT START: no shell !!!");
}

TEST(SchedulerWindow, ARunTimeThatIsNotHoursAndMinutesMakesNoCommand) {
    SchedulerHarness h;
    auto& w = h.open();
    ASSERT_TRUE(w.SUN_TICKBOX.click());
    for (auto bad : {"24:00", "6", "06:5", "6:60", "06:30:00", "ab:cd", ""}) {
        w.TASK_RUN_TIME_TEXTBOX.setText(bad);
        ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
        EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(), "") << bad;
        EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "!!! THE RUN TIME MUST READ HH:MM, 24-HOUR !!!") << bad;
    }
    EXPECT_TRUE(h.platform.launches.empty());
    w.TASK_RUN_TIME_TEXTBOX.setText("7:05");
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    EXPECT_EQ(h.platform.launches.size(), 1u);
}

TEST(SchedulerWindow, OpeningWithATaskShowsItsScheduleGreyedAndRunsTheStoredEnableOnce) {
    SchedulerHarness h;
    h.put("TASK_STATUS_TEXTBOX", "TASK-CREATED");
    h.put("THU_TICKBOX", "1");
    h.put("TASK_RUN_TIME_TEXTBOX", "05:15");
    h.put("ENABLE_SCHED_TASK_TICKBOX", "1");
    auto& w = h.open();
    EXPECT_EQ(h.platform.launched(),
              std::vector<std::string>{"SchTasks /Change /TN \"PACEDECK - BTC\" /ENABLE"});
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(), "");  // emptied after the restore
    EXPECT_TRUE(w.THU_TICKBOX.ticked());
    for (auto* o : options(w)) EXPECT_FALSE(o->enabled()) << o->name();
    EXPECT_EQ(w.SELECTED_DAYS_TEXTBOX.text(), "THU ");
    EXPECT_EQ(w.TASK_RUN_TIME_TEXTBOX.text(), "05:15");
    EXPECT_TRUE(w.TASK_RUN_TIME_TEXTBOX.locked());
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
    EXPECT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.enabled());
    EXPECT_FALSE(w.DELETE_TASK_BUTTON.enabled());
    EXPECT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.ticked());
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), winHome);
    EXPECT_FALSE(w.SAVE_TASK_BUTTON.visible());
    EXPECT_FALSE(w.OPEN_WIN_SCHED_BUTTON.visible());
}

TEST(SchedulerWindow, OpeningWithoutATaskClearsEveryDayChoice) {
    SchedulerHarness h;
    h.put("SELECT_ALL_DAYS_TICKBOX", "1");
    h.put("TASK_RUN_TIME_TEXTBOX", "22:00");
    auto& w = h.open();
    for (auto* o : options(w)) {
        EXPECT_FALSE(o->ticked()) << o->name();
        EXPECT_TRUE(o->enabled()) << o->name();
    }
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
    EXPECT_FALSE(w.ENABLE_DELETE_BUTTON_TICKBOX.enabled());
    EXPECT_FALSE(w.ENABLE_SCHED_TASK_TICKBOX.enabled());
    EXPECT_FALSE(w.TASK_RUN_TIME_TEXTBOX.locked());
    EXPECT_EQ(w.TASK_RUN_TIME_TEXTBOX.text(), "22:00");
    EXPECT_TRUE(h.platform.launches.empty());
}

TEST(SchedulerWindow, DeleteWithTheTaskEnabledRunsTheDeleteAloneAndShowsItsResult) {
    SchedulerHarness h;
    h.put("TASK_STATUS_TEXTBOX", "TASK-CREATED");
    h.put("MON_TICKBOX", "1");
    h.put("TASK_RUN_TIME_TEXTBOX", "03:00");
    h.put("ENABLE_SCHED_TASK_TICKBOX", "1");
    auto& w = h.open();
    h.settle();
    h.platform.launches.clear();
    ASSERT_FALSE(w.DELETE_TASK_BUTTON.click());  // not armed yet
    ASSERT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(w.DELETE_TASK_BUTTON.click());
    h.settle();
    // A deleted task cannot be disabled: no command that must fail after a good delete.
    EXPECT_EQ(h.platform.launched(),
              (std::vector<std::string>{"SchTasks /Delete /TN \"PACEDECK - BTC\" /F"}));
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(), "SchTasks /Delete /TN \"PACEDECK - BTC\" /F");
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK DELETED");
    EXPECT_EQ(w.TASK_RESULT_LABEL.fore(), colour::windowText);
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "TASK-DELETED");
    EXPECT_EQ(w.TASK_RUN_TIME_TEXTBOX.text(), "00:00");
    EXPECT_FALSE(w.TASK_RUN_TIME_TEXTBOX.locked());
    for (auto* o : options(w)) {
        EXPECT_FALSE(o->ticked()) << o->name();
        EXPECT_TRUE(o->enabled()) << o->name();
    }
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());  // until a day is chosen again
    EXPECT_FALSE(w.DELETE_TASK_BUTTON.enabled());
    EXPECT_FALSE(w.ENABLE_DELETE_BUTTON_TICKBOX.ticked());
    EXPECT_FALSE(w.ENABLE_SCHED_TASK_TICKBOX.ticked());
    EXPECT_FALSE(w.ENABLE_SCHED_TASK_TICKBOX.enabled());
}

TEST(SchedulerWindow, AFailedDeleteIsShownButTheWindowReturnsToNoTask) {
    SchedulerHarness h;
    h.put("TASK_STATUS_TEXTBOX", "TASK-CREATED");
    auto& w = h.open();
    h.platform.commandResult = {true, 1, "ERROR: The system cannot find the file specified."};
    ASSERT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(w.DELETE_TASK_BUTTON.click());
    h.settle();
    EXPECT_EQ(
        w.TASK_RESULT_LABEL.text(),
        "!!! THE COMMAND FAILED (EXIT STATUS 1): ERROR: The system cannot find the file specified. !!!");
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "TASK-DELETED");
}

TEST(SchedulerWindow, TheEnableTickRunsEvenWhenOnlyViewing) {
    SchedulerHarness h;
    h.put("TASK_STATUS_TEXTBOX", "TASK-CREATED");
    auto& w = h.open();
    ASSERT_TRUE(w.ONLY_VIEW_COMMAND_TICKBOX.click());
    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    h.settle();  // one after the other
    h.settle();
    EXPECT_EQ(h.platform.launched(),
              (std::vector<std::string>{"SchTasks /Change /TN \"PACEDECK - BTC\" /ENABLE",
                                        "SchTasks /Change /TN \"PACEDECK - BTC\" /DISABLE"}));
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK DISABLED");
}

TEST(SchedulerWindow, OkStoresTheScheduleWhileOtherClosesStoreOnlyThePlace) {
    {
        SchedulerHarness h;
        auto& w = h.open();
        w.moveTo(1200, 1300);
        ASSERT_TRUE(w.TASK_RUN_TIME_TEXTBOX.type("04:45"));
        ASSERT_TRUE(w.SAT_TICKBOX.click());
        h.store.clearLog();
        ASSERT_TRUE(w.OK_BUTTON.click());
        EXPECT_FALSE(w.isOpen());
        auto keys = h.store.writtenKeys("BTC");
        std::vector<std::string> expected = {
            "WIN_SCHED_TASK-Left", "WIN_SCHED_TASK-Top", "TASK_RUN_TIME_TEXTBOX", "SELECT_ALL_DAYS_TICKBOX",
            "MON_TICKBOX",         "TUE_TICKBOX",        "WED_TICKBOX",           "THU_TICKBOX",
            "FRI_TICKBOX",         "SAT_TICKBOX",        "SUN_TICKBOX",           "ENABLE_SCHED_TASK_TICKBOX",
            "TASK_STATUS_TEXTBOX"};
        ASSERT_GE(keys.size(), expected.size());
        EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + long(expected.size())), expected);
        EXPECT_EQ(h.stored("SAT_TICKBOX"), "1");
        EXPECT_EQ(h.stored("TASK_RUN_TIME_TEXTBOX"), "04:45");
        EXPECT_EQ(h.stored("WIN_SCHED_TASK-Left"), "1200");
    }
    {
        SchedulerHarness h;
        auto& w = h.open();
        ASSERT_TRUE(w.SAT_TICKBOX.click());
        h.store.clearLog();
        w.close();
        EXPECT_EQ(h.store.writtenKeys("BTC"),
                  (std::vector<std::string>{"WIN_SCHED_TASK-Left", "WIN_SCHED_TASK-Top"}));
    }
}

TEST(SchedulerWindow, EachCopyOfTheProgramHasItsOwnTask) {
    SchedulerHarness h("LTC-NODE");
    auto& w = h.open();
    EXPECT_EQ(w.TASK_NAME_TEXTBOX.text(), "PACEDECK - LTC-NODE");
    ASSERT_TRUE(w.SUN_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "SchTasks /Create /SC WEEKLY /D SUN /TN \"PACEDECK - LTC-NODE\" /TR "
              "\"C:\\SYNCWARD-ROOT\\PACEDECK\\LTC-NODE.exe\" /ST 00:00");
}

TEST(SchedulerWindow, UnderPosixTheTaskIsATaggedCrontabLineInTheUsersSession) {
    SchedulerHarness h("BTC", posixProfile("/home/ann"), "/home/ann/SYNCWARD-ROOT/PACEDECK");
    h.platform.env = {{"DISPLAY", ":1"}, {"XDG_RUNTIME_DIR", "/run/user/1000"}};
    auto& w = h.open();
    ASSERT_TRUE(w.TASK_RUN_TIME_TEXTBOX.type("6:05"));
    ASSERT_TRUE(w.WED_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    h.settle();
    const std::string tag = "'# \"PACEDECK - BTC\"'";
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "{ crontab -l 2>/dev/null | grep -v -F -e " + tag +
                  "; printf '%s\\n' '05 06 * * 3 env DISPLAY=\":1\" XDG_RUNTIME_DIR=\"/run/user/1000\" "
                  "\"/home/ann/SYNCWARD-ROOT/PACEDECK/BTC\" # \"PACEDECK - BTC\"'; } | crontab -");
    EXPECT_EQ(h.platform.launched(), std::vector<std::string>{w.OUTPUT_COMMAND_TEXTBOX.text()});

    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "t=$(crontab -l) && printf '%s\\n' \"$t\" | awk -v tag=" + tag +
                  " 'index($0, tag) { sub(/^#+/, \"\") } { print }' | crontab -");
    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "t=$(crontab -l) && printf '%s\\n' \"$t\" | awk -v tag=" + tag +
                  " 'index($0, tag) && !/^#/ { $0 = \"#\" $0 } { print }' | crontab -");
    ASSERT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(w.DELETE_TASK_BUTTON.click());
    EXPECT_EQ(w.OUTPUT_COMMAND_TEXTBOX.text(),
              "if t=$(crontab -l 2>/dev/null); then printf '%s\\n' \"$t\" | grep -v -F -e " + tag +
                  " | crontab -; fi");
}

TEST(SchedulerWindow, ACommandRunsWhileTheProgramGoesOnAndItsResultIsShownWhenItComes) {
    SchedulerHarness h;
    h.platform.commandsWait = true;
    auto& w = h.open();
    ASSERT_TRUE(w.MON_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "!!! RUNNING THE COMMAND... !!!");
    const auto before = h.main().RUNTIME_LABEL.text();
    h.main().RUNTIME_TIMER.start();
    h.advance(30'000);  // the program's timers keep their pace meanwhile
    EXPECT_NE(h.main().RUNTIME_LABEL.text(), before);
    EXPECT_EQ(w.TASK_STATUS_TEXTBOX.text(), "TASK-DELETED");
    EXPECT_FALSE(w.CREATE_TASK_BUTTON.enabled());
    h.platform.finishCommands();
    h.settle();
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK CREATED");
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "TASK-CREATED");
}

TEST(SchedulerWindow, CreateRefusesATaskWhoseProgramIsNotThere) {
    SchedulerHarness h;
    h.platform.files.clear();
    auto& w = h.open();
    ASSERT_TRUE(w.MON_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    h.settle();
    EXPECT_TRUE(h.platform.launches.empty());
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(),
              "!!! NO TASK CREATED - THE PROGRAM C:\\SYNCWARD-ROOT\\PACEDECK\\BTC.exe DOES NOT EXIST !!!");
    EXPECT_EQ(w.TASK_RESULT_LABEL.fore(), colour::red);
    EXPECT_EQ(h.stored("TASK_STATUS_TEXTBOX"), "<unset>");
    EXPECT_TRUE(w.CREATE_TASK_BUTTON.enabled());
}

TEST(SchedulerWindow, UnderPosixTheCrontabLineStartsTheCopyUnderItsOwnName) {
    // A copy made by a link in another folder: the task starts the link, so the copy runs
    // with its own settings.
    SchedulerHarness h("BTC", posixProfile("/home/ann"), "/home/ann/SYNCWARD-ROOT/PACEDECK");
    h.platform.files = {{"/home/ann/bin/BTC", "a link to the program"}};
    h.app.setOwnFile("/home/ann/bin/BTC");
    auto& w = h.open();
    ASSERT_TRUE(w.SUN_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    h.settle();
    EXPECT_NE(w.OUTPUT_COMMAND_TEXTBOX.text().find(" \"/home/ann/bin/BTC\" # \"PACEDECK - BTC\"'"),
              std::string::npos)
        << w.OUTPUT_COMMAND_TEXTBOX.text();
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK CREATED");
}

TEST(SchedulerWindow, CrontabLinesSurviveAwkwardNamesAndEveryDayIsAStar) {
    Profile posix = posixProfile("/home/o'neil");
    GraphicalSession none;
    ScheduledTask task(posix, "BTC", none);
    auto line = task.cronLine("MON,TUE,WED,THU,FRI,SAT,SUN ", "/home/o'neil/50% \"node\"/$X", "23:59");
    EXPECT_EQ(line, "59 23 * * * env \"/home/o'neil/50\\% \\\"node\\\"/\\$X/BTC\" # \"PACEDECK - BTC\"");
    // A % in the copy's name is escaped in the tag too: cron would cut the line there.
    ScheduledTask percent(posix, "50%BTC", none);
    EXPECT_EQ(percent.cronLine("WED ", "/h", "1:05"),
              "05 01 * * 3 env \"/h/50\\%BTC\" # \"PACEDECK - 50\\%BTC\"");
    // The install command quotes the single quote of the path for the outer shell.
    auto create = task.createCommand("SUN ", "/home/o'neil", "0:00");
    EXPECT_NE(create.find("'00 00 * * 0 env \"/home/o'\\''neil/BTC\" # \"PACEDECK - BTC\"'"),
              std::string::npos)
        << create;
    // Without any display variable the task still aims at the first display.
    FakePlatform bare;
    EXPECT_EQ(GraphicalSession::of(bare).variables,
              (std::vector<std::pair<std::string, std::string>>{{"DISPLAY", ":0"}}));
}

}  // namespace pd::test
