#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.hpp"

namespace pd::test {

TEST(MainWindowLifecycle, FirstStartOfANewNameShowsEveryDefault) {
    Harness h("NEWCOIN");
    auto& w = h.start();
    EXPECT_EQ(w.caption(), "PACEDECK - NEWCOIN");
    EXPECT_EQ(w.APP_EXE_NAME_LABEL.text(), "NEWCOIN");
    EXPECT_EQ(w.geometry().left, 1000);
    EXPECT_EQ(w.geometry().top, 1000);
    EXPECT_EQ(w.geometry().width, 15825);
    EXPECT_EQ(w.geometry().height, 6750);
    EXPECT_TRUE(w.ALWAYS_ON_TOP_TICKBOX.ticked());
    EXPECT_TRUE(w.AlwaysOnTopTimer.enabled());
    EXPECT_EQ(w.USER_COUNT_TIME_TEXTBOX.text(), "00:05:00");
    EXPECT_EQ(w.USER_OVERRIDE_TIME_TEXTBOX.text(), "01:00:00");
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:05:00");
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "11");
    EXPECT_EQ(w.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.text(), "!!! NO ACTION SET !!!");
    EXPECT_EQ(w.SW_QT_COMMAND_TEXTBOX.text(), MainWindow::placeholderQt);
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text(), "!!! STILL TO RUN !!!");
    EXPECT_EQ(w.BLOCKCOUNT_LOG_START_TEXTBOX.text(), "0");
    // No run yet: neither outcome box says anything, in words or in colour.
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.text(), "");
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.back(), colour::windowBackground);
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::windowBackground);
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "START");
    EXPECT_FALSE(w.AUTOSTART_TIMER.enabled());
    EXPECT_TRUE(w.MULTI_PROCESS_WATCHER_TIMER.enabled());
    EXPECT_EQ(w.MULTI_PROCESS_WATCHER_TIMER.interval(), 250);
    EXPECT_EQ(w.CHECKER_TIMER.interval(), 3000);
    EXPECT_EQ(w.NUMLOCK_TIMER_1.interval(), 750);
    EXPECT_TRUE(w.NCS_TIMER.enabled());
    for (int n = 1; n <= 7; ++n) EXPECT_EQ(w.kittLabel(n).back(), colour::red);
}

TEST(MainWindowLifecycle, MovedWindowStoresItsPlaceButNotItsSize) {
    Harness h;
    {
        auto& w = h.start();
        w.moveTo(2500, 3100.5);
        w.close();
    }
    EXPECT_EQ(h.stored("MAIN-Left"), "2500");
    EXPECT_EQ(h.stored("MAIN-Top"), "3100.5");
    EXPECT_EQ(h.stored("MAIN-Width"), "<unset>");
    Harness again;
    again.store = h.store;
    auto& w = again.start();
    EXPECT_EQ(w.geometry().left, 2500);
    EXPECT_EQ(w.geometry().width, 15825);
}

TEST(MainWindowLifecycle, TwoNamesKeepTheirOwnValuesAndShareTheEmailSection) {
    MemoryStore shared;
    shared.write("BTC", "USER_COUNT_TIME_TEXTBOX", "00:01:00");
    shared.write("LTC", "USER_COUNT_TIME_TEXTBOX", "00:00:30");
    shared.write(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", "me");
    for (auto [exe, interval] : {std::pair{"BTC", "00:01:00"}, std::pair{"LTC", "00:00:30"}}) {
        Harness h(exe);
        h.store = shared;
        EXPECT_EQ(h.start().USER_COUNT_TIME_TEXTBOX.text(), interval);
        EXPECT_EQ(h.store.read(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", ""), "me");
    }
}

TEST(MainWindowLifecycle, AutostartCountsElevenSecondsThenStartsTheRun) {
    Harness h;
    h.put("AUTOSTART_TICKBOX", "1");
    auto& w = h.start();
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "STOP");
    h.advance(1000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "10");
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! AUTOSTARTING !!!");
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.back(), colour::green);
    h.advance(9000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "01");
    EXPECT_FALSE(w.TASK_1_MAIN_TIMER.enabled());
    h.advance(1000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "-- --");
    EXPECT_EQ(w.AUTOSTART_START_BUTTON.text(), "START");
    EXPECT_FALSE(w.AUTOSTART_START_BUTTON.enabled());
    EXPECT_EQ(w.MULTILOADER_START_STOP_BUTTON.text(), "STOP");
    EXPECT_TRUE(w.TASK_1_MAIN_TIMER.enabled());
    EXPECT_FALSE(w.AUTOSTART_TIMER.enabled());
}

TEST(MainWindowLifecycle, PausedAutostartContinuesWhereItStopped) {
    Harness h;
    auto& w = h.start();
    EXPECT_TRUE(w.AUTOSTART_START_BUTTON.click());
    h.advance(6000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "05");
    w.AUTOSTART_START_BUTTON.click();
    h.advance(10000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "05");
    w.AUTOSTART_START_BUTTON.click();
    h.advance(4000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "01");
    h.advance(1000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "-- --");
}

TEST(MainWindowLifecycle, AutostartAgainAfterFiringRunsThroughAFullMinute) {
    Harness h;
    h.put("AUTOSTART_TICKBOX", "1");
    auto& w = h.start();
    h.advance(11000);
    w.MULTILOADER_START_STOP_BUTTON.click();  // stop the run: the autostart button is usable again
    ASSERT_TRUE(w.AUTOSTART_START_BUTTON.enabled());
    w.AUTOSTART_START_BUTTON.click();
    h.advance(59000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "01");
    h.advance(1000);
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "-- --");
    w.AUTOSTART_TIMER_TEXTBOX.doubleClick();
    EXPECT_EQ(w.AUTOSTART_TIMER_TEXTBOX.text(), "11");
    EXPECT_EQ(w.AUTOSTART_TIME_LEFT, TimeOfDay(0, 0, 11));
}

namespace {
// A copy whose run, every optional stage cleared, ends well in eighteen seconds.
void homeForARun(Harness& h) {
    h.put("PACEDECK_HOME_TEXTBOX", "/home/tester/PD");
    h.platform.folders = {"/home/tester/PD", "/home/tester/PD/REPORTS"};
}
}  // namespace

TEST(MainWindowLifecycle, AutocloseClosesAndStampsSuccessShownGreenAtNextStart) {
    Harness h;
    homeForARun(h);
    {
        auto& w = h.start();
        w.TASK_19_ENABLE_TICKBOX.click();
        w.MULTILOADER_START_STOP_BUTTON.click();
        h.advance(18'000);  // the run's last stage starts the countdown
        h.advance(10000);
        EXPECT_EQ(w.AUTOCLOSE_TIMER_TEXTBOX.text(), "01");
        EXPECT_EQ(w.TASK_19_LIGHT.back(), colour::green);
        h.store.clearLog();
        h.advance(1000);
        EXPECT_FALSE(h.app.running());
    }
    EXPECT_EQ(
        h.store.writtenKeys("DEMO"),
        (std::vector<std::string>{
            "MULTILOADER_LAST_RUN_TEXTBOX", "ALWAYS_ON_TOP_TICKBOX", "AUTOSTART_TICKBOX",
            "FINISH_WHEN_IDENTICAL_TICKBOX", "USER_COUNT_TIME_TEXTBOX", "USER_OVERRIDE_TIME_TEXTBOX",
            "OVERRIDE_TIMER_ENABLE_TICKBOX", "AUTOSTART_OVERRIDE_TIMER_TICKBOX", "TASK_2_ENABLE_TICKBOX",
            "TASK_4_ENABLE_TICKBOX", "TASK_8_ENABLE_TICKBOX", "TASK_11_ENABLE_TICKBOX",
            "TASK_17_ENABLE_TICKBOX", "TASK_18_ENABLE_TICKBOX", "TASK_19_ENABLE_TICKBOX",
            "TASK_20_ENABLE_TICKBOX", "RUN_QT_TICKBOX", "RUN_DAEMON_TICKBOX",
            "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "EMAIL_OUTPUT_END_COMMAND_TEXTBOX", "RUN_QT_OR_D_TEXTBOX",
            // then closing the window
            "MAIN-Left", "MAIN-Top", "AUTOSTART_TICKBOX", "FINISH_WHEN_IDENTICAL_TICKBOX",
            "USER_COUNT_TIME_TEXTBOX", "USER_OVERRIDE_TIME_TEXTBOX", "OVERRIDE_TIMER_ENABLE_TICKBOX",
            "AUTOSTART_OVERRIDE_TIMER_TICKBOX", "TASK_2_ENABLE_TICKBOX", "TASK_4_ENABLE_TICKBOX",
            "TASK_8_ENABLE_TICKBOX", "TASK_11_ENABLE_TICKBOX", "TASK_17_ENABLE_TICKBOX",
            "TASK_18_ENABLE_TICKBOX", "TASK_19_ENABLE_TICKBOX", "TASK_20_ENABLE_TICKBOX",
            "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "EMAIL_OUTPUT_END_COMMAND_TEXTBOX",
            "RUN_QT_OR_D_TEXTBOX"}));
    Harness next;
    next.store = h.store;
    auto& w = next.start();
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.back(), colour::green);
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.fore(), colour::black);
}

TEST(MainWindowLifecycle, ClearingAutocloseDuringTheCountdownEndsTheRunWithoutClosing) {
    Harness h;
    homeForARun(h);
    auto& w = h.start();
    w.TASK_19_ENABLE_TICKBOX.click();
    w.MULTILOADER_START_STOP_BUTTON.click();
    h.advance(18'000 + 3000);
    w.TASK_19_ENABLE_TICKBOX.click();
    h.advance(1000);
    EXPECT_TRUE(h.app.running());
    EXPECT_EQ(w.MULTILOADER_START_STOP_BUTTON.text(), "START");
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.back(), colour::green);
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_TRUE(w.AUTOSTART_START_BUTTON.enabled());
    EXPECT_FALSE(w.AUTOCLOSE_START_BUTTON.enabled());
    EXPECT_FALSE(w.AUTOCLOSE_TIMER.enabled());
}

TEST(MainWindowLifecycle, ExitWritesItsKeysInOrderAndIsShownRedNextTime) {
    Harness h;
    {
        auto& w = h.start();
        w.moveTo(1200, 1300);
        h.store.clearLog();
        w.EXIT_BUTTON.click();
        EXPECT_FALSE(h.app.running());
    }
    auto keys = h.store.writtenKeys("DEMO");
    std::vector<std::string> expectedStart = {"DESKTOP-Left", "DESKTOP-Top", "ALWAYS_ON_TOP_TICKBOX",
                                              "AUTOSTART_TICKBOX"};
    ASSERT_GE(keys.size(), 25u);
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4), expectedStart);
    EXPECT_EQ(keys[21], "RUN_QT_OR_D_TEXTBOX");
    EXPECT_EQ(keys[22], "MULTILOADER_LAST_RUN_TEXTBOX");
    EXPECT_EQ(keys[23], "MAIN-Left");
    EXPECT_EQ(h.stored("DESKTOP-Left"), "1200");
    Harness next;
    next.store = h.store;
    auto& w = next.start();
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.text(), "!!! MANUAL EXIT !!!");
    EXPECT_EQ(w.MULTILOADER_LAST_RUN_TEXTBOX.back(), colour::red);
}

TEST(MainWindowLifecycle, CloseBoxLeavesClickWrittenKeysAlone) {
    Harness h;
    h.put("RUN_QT_TICKBOX", "0");
    auto& w = h.start();
    w.RUN_QT_TICKBOX.click();
    h.store.clearLog();
    w.close();
    auto keys = h.store.writtenKeys("DEMO");
    EXPECT_EQ(keys.front(), "MAIN-Left");
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "RUN_QT_TICKBOX"), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "ALWAYS_ON_TOP_TICKBOX"), 0);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "MULTILOADER_LAST_RUN_TEXTBOX"), 0);
    EXPECT_EQ(h.stored("RUN_QT_TICKBOX"), "0");
}

TEST(MainWindowLifecycle, ExclusiveChoicesStoredBothLoadAsTheFirst) {
    Harness h;
    h.put("RUN_QT_TICKBOX", "1");
    h.put("RUN_DAEMON_TICKBOX", "1");
    h.put("TASK_19_ENABLE_TICKBOX", "1");
    h.put("TASK_20_ENABLE_TICKBOX", "1");
    auto& w = h.start();
    EXPECT_TRUE(w.RUN_QT_TICKBOX.ticked());
    EXPECT_FALSE(w.RUN_DAEMON_TICKBOX.ticked());
    EXPECT_FALSE(w.RUN_DAEMON_TICKBOX.enabled());
    EXPECT_TRUE(w.TASK_19_ENABLE_TICKBOX.ticked());
    EXPECT_FALSE(w.TASK_20_ENABLE_TICKBOX.ticked());
    EXPECT_FALSE(w.TASK_20_ENABLE_TICKBOX.enabled());
    EXPECT_EQ(w.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.text(), "AUTOCLOSE");
    EXPECT_EQ(w.AUTOTIMER_ACTION_TEXTBOX.text(), "");
    // The node choice is set again only when a node is chosen or started.
    EXPECT_EQ(w.RUN_QT_OR_D_TEXTBOX.text(), "");
}

TEST(MainWindowLifecycle, NodeAndFinalActionClicksAreExclusiveAndOnlyTheActionIsStored) {
    Harness h;
    auto& w = h.start();
    h.store.clearLog();
    w.RUN_DAEMON_TICKBOX.click();
    EXPECT_EQ(w.RUN_QT_OR_D_TEXTBOX.text(), "DAEMON");
    EXPECT_FALSE(w.RUN_QT_TICKBOX.enabled());
    EXPECT_FALSE(w.RUN_QT_TICKBOX.click());
    w.RUN_DAEMON_TICKBOX.click();
    EXPECT_TRUE(w.RUN_QT_TICKBOX.enabled());
    EXPECT_EQ(w.RUN_QT_OR_D_TEXTBOX.text(), "");
    EXPECT_TRUE(h.store.writtenKeys("DEMO").empty());

    w.TASK_20_ENABLE_TICKBOX.click();
    EXPECT_EQ(h.stored("AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX"), "POWER AUTOTIMER");
    w.AUTOTIMER_ACTION_TEXTBOX.setText("SHUTDOWN PC");
    w.TASK_20_ENABLE_TICKBOX.click();
    EXPECT_EQ(w.AUTOTIMER_ACTION_TEXTBOX.text(), "");
    EXPECT_EQ(h.stored("AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX"), "");
}

TEST(MainWindowLifecycle, RunTimeWrapsAfterADay) {
    Harness h;
    auto& w = h.start();
    w.RUNTIME_TIMER.start();
    h.advance(25LL * 3600 * 1000);
    EXPECT_EQ(w.RUNTIME_LABEL.text(), "01:00:00");
}

TEST(MainWindowLifecycle, UnparsableOrUnconvertibleStoredValuesFallBackToDefaults) {
    Harness h;
    h.put("USER_COUNT_TIME_TEXTBOX", "five minutes");
    h.put("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "99:99:99");
    h.put("ALWAYS_ON_TOP_TICKBOX", "yes");
    h.put("MAIN-Left", "left");
    auto& w = h.start();
    EXPECT_EQ(w.USER_COUNT_TIME_TEXTBOX.text(), "00:05:00");
    EXPECT_EQ(w.BLOCKCOUNT_TIME_LEFT, TimeOfDay(0, 5, 0));
    EXPECT_EQ(w.HEARTBEAT_TIME_LEFT, TimeOfDay(0, 5, 0));
    EXPECT_TRUE(w.ALWAYS_ON_TOP_TICKBOX.ticked());
    EXPECT_EQ(w.geometry().left, 1000);
}

TEST(MainWindowLifecycle, AutoloadPutsTheLastBlockCountBack) {
    Harness h;
    h.put("AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX", "1");
    h.put("GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", "/home/pd/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG");
    h.platform.files["/home/pd/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG"] = "812345\n";
    EXPECT_EQ(h.start().LAST_BLOCKCOUNT_TEXTBOX.text(), "812345\n");
    Harness missing;
    missing.put("AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX", "1");
    missing.put("GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", "/nowhere/file.LOG");
    EXPECT_EQ(missing.start().LAST_BLOCKCOUNT_TEXTBOX.text(), "");
}

}  // namespace pd::test

namespace pd::test {

TEST(MainWindowLifecycle, AnUnreadableSettingShowsItsDefaultIsToldOnceAndIsNeverWrittenOver) {
    Harness h;
    h.put("USER_COUNT_TIME_TEXTBOX", "00:10:00");
    h.put("AUTOSTART_TICKBOX", "1");
    h.store.unreadable = {"USER_COUNT_TIME_TEXTBOX", "AUTOSTART_TICKBOX"};
    std::vector<std::string> told;
    h.app.onStoreUnreadable = [&](const std::string& key, const std::string& why) {
        told.push_back(key + ": " + why);
    };
    auto& w = h.start();
    EXPECT_EQ(w.USER_COUNT_TIME_TEXTBOX.text(), "00:05:00");
    EXPECT_FALSE(w.AUTOSTART_TICKBOX.ticked());
    EXPECT_EQ(told, (std::vector<std::string>{"AUTOSTART_TICKBOX: database disk image is malformed",
                                              "USER_COUNT_TIME_TEXTBOX: database disk image is malformed"}));
    // Every way of leaving writes these keys; none may put the default over the stored value.
    h.store.clearLog();
    ASSERT_TRUE(w.EXIT_BUTTON.click());
    h.store.unreadable.clear();
    EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), "00:10:00");
    EXPECT_EQ(h.stored("AUTOSTART_TICKBOX"), "1");
    const auto keys = h.store.writtenKeys("DEMO");
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "USER_COUNT_TIME_TEXTBOX"), 0);
    EXPECT_GT(std::count(keys.begin(), keys.end(), "USER_OVERRIDE_TIME_TEXTBOX"),
              0);  // the readable ones are kept
}

}  // namespace pd::test
