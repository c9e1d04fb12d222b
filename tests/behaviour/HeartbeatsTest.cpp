#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Harness.hpp"

namespace pd::test {

namespace {

// The seven lamps as a row of 1 (lit, red) and 0 (dark, black).
std::string lamps(MainWindow& w) {
    std::string out;
    for (int n = 1; n <= 7; ++n) out += w.kittLabel(n).back() == colour::red ? '1' : '0';
    return out;
}

int runningChaserSteps(MainWindow& w) {
    int count = 0;
    for (int n = 1; n <= 16; ++n) count += w.kittTimer(n).enabled() ? 1 : 0;
    return count;
}

bool anyHeartbeatTimerRunning(MainWindow& w) {
    return w.HEARTBEAT_TIMER.enabled() || w.NUMLOCK_TIMER_1.enabled() || w.NUMLOCK_TIMER_2.enabled() ||
           runningChaserSteps(w) > 0;
}

// The main window with a heartbeat every ten seconds, started by its button.
MainWindow& startTenSecondHeartbeat(Harness& h) {
    h.put("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:00:10");
    auto& w = h.start();
    EXPECT_TRUE(w.KITT_START_BUTTON.click());
    return w;
}

}  // namespace

TEST(Heartbeats, TenSecondHeartbeatFlashesAndTogglesNumLockTwice) {
    Harness h;
    auto& w = startTenSecondHeartbeat(h);
    EXPECT_EQ(w.KITT_START_BUTTON.text(), "STOP KITT");
    EXPECT_TRUE(h.platform.sleepInhibited);

    h.advance(9000);
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text(), "00:00:01");
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::black);

    for (int beat = 1; beat <= 2; ++beat) {
        SCOPED_TRACE("heartbeat " + std::to_string(beat));
        h.advance(1000);
        EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::cyan);
        EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text(), "00:00:10");
        EXPECT_EQ(h.platform.presses.size(), 2u * (beat - 1));

        h.advance(750);
        EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::green);
        EXPECT_EQ(h.platform.presses.size(), 2u * beat - 1);
        EXPECT_TRUE(h.platform.locks[LockKey::Num]);
        h.advance(100);
        EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), colour::green) << "the Num light shows the toggled state";

        h.advance(650);
        EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::black);
        EXPECT_EQ(h.platform.presses, std::vector<LockKey>(2u * beat, LockKey::Num));
        EXPECT_FALSE(h.platform.locks[LockKey::Num]) << "the second press restores the user's state";
        EXPECT_FALSE(w.NUMLOCK_TIMER_1.enabled());
        EXPECT_FALSE(w.NUMLOCK_TIMER_2.enabled());
        h.advance(100);
        EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), colour::red);
        h.advance(10000 - 1000 - 1600);
    }
}

TEST(Heartbeats, StopBetweenThePressesLeavesNumLockToggled) {
    Harness h;
    auto& w = startTenSecondHeartbeat(h);
    h.advance(10750);
    ASSERT_EQ(h.platform.presses.size(), 1u);
    w.HEARTBEAT_TIME_LEFT = TimeOfDay(0, 0, 3);

    ASSERT_TRUE(w.KITT_START_BUTTON.click());
    EXPECT_EQ(w.KITT_START_BUTTON.text(), "START KITT");
    EXPECT_EQ(lamps(w), "1111111") << "a stopped chaser is a solid red bar";
    EXPECT_EQ(w.HEARTBEAT_TIME_LEFT, TimeOfDay(0, 0, 10));
    EXPECT_FALSE(anyHeartbeatTimerRunning(w));
    EXPECT_FALSE(h.platform.sleepInhibited);

    h.advance(20000);
    EXPECT_EQ(h.platform.presses.size(), 1u);
    EXPECT_TRUE(h.platform.locks[LockKey::Num]);
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::green);
}

TEST(Heartbeats, ChaserSweepsThereAndBackEverySixteenTenthsOfASecond) {
    Harness h;
    auto& w = h.start();
    w.KITT_START_BUTTON.click();
    ASSERT_EQ(lamps(w), "1111111");
    std::vector<std::string> seen;
    for (int step = 1; step <= 48; ++step) {
        h.advance(100);
        seen.push_back(lamps(w));
        EXPECT_EQ(runningChaserSteps(w), 1) << "one step at a time, at step " << step;
    }
    // The first sweep darkens the bar that the start lit, lamp by lamp.
    const std::vector<std::string> firstSweep = {"1111111", "0111111", "0011111", "0001111",
                                                 "0000111", "0000011", "0000001", "0000000"};
    const std::vector<std::string> sweep = {"1000000", "0100000", "0010000", "0001000", "0000100", "0000010",
                                            "0000001", "0000000", "0000001", "0000010", "0000100", "0001000",
                                            "0010000", "0100000", "1000000", "0000000"};
    for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(seen[i], firstSweep[i]) << "step " << i + 1;
    for (std::size_t i = 8; i < 16; ++i) EXPECT_EQ(seen[i], sweep[i]) << "step " << i + 1;
    for (std::size_t i = 16; i < 48; ++i) EXPECT_EQ(seen[i], sweep[i % 16]) << "step " << i + 1;
}

TEST(Heartbeats, RunStagesStartAndStopWithoutTouchingWhatTheButtonDoes) {
    Harness h;
    h.put("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:00:30");
    auto& w = h.start();
    h.put("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "00:00:20");

    w.heartbeats.stopFromPipeline();
    EXPECT_EQ(lamps(w), "0000000");
    w.heartbeats.startFromPipeline();
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:00:20") << "reloaded from the store";
    EXPECT_EQ(w.HEARTBEAT_TIME_LEFT, TimeOfDay(0, 0, 30)) << "the time left is not reloaded";
    EXPECT_EQ(lamps(w), "0000000") << "the lamps are not lit";
    EXPECT_TRUE(w.HEARTBEAT_TIMER.enabled());
    EXPECT_TRUE(w.KITT_RED_TIMER_1.enabled());
    EXPECT_EQ(w.KITT_START_BUTTON.text(), "STOP KITT");
    EXPECT_TRUE(h.platform.sleepInhibited);
    h.advance(29000);
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::black);
    h.advance(1000);
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::cyan);
    EXPECT_EQ(w.HEARTBEAT_TIME_LEFT, TimeOfDay(0, 0, 20)) << "later heartbeats use the new interval";
    h.advance(750);
    ASSERT_TRUE(w.NUMLOCK_TIMER_2.enabled());

    w.HEARTBEAT_TIME_LEFT = TimeOfDay(0, 0, 7);
    w.heartbeats.stopFromPipeline();
    EXPECT_FALSE(anyHeartbeatTimerRunning(w));
    EXPECT_EQ(lamps(w), "0000000");
    EXPECT_EQ(w.KITT_START_BUTTON.text(), "STOP KITT") << "the caption stays";
    EXPECT_EQ(w.HEARTBEAT_TIME_LEFT, TimeOfDay(0, 0, 7));
    EXPECT_FALSE(h.platform.sleepInhibited);

    // The button, still reading STOP KITT, then stops what is already stopped.
    w.KITT_START_BUTTON.click();
    EXPECT_EQ(w.KITT_START_BUTTON.text(), "START KITT");
    EXPECT_EQ(lamps(w), "1111111");
}

TEST(Heartbeats, RunStageFallsBackToFiveMinutesForAStoredIntervalThatIsNoTime) {
    Harness h;
    auto& w = h.start();
    h.put("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX", "soon");
    w.heartbeats.startFromPipeline();
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:05:00");
}

TEST(Heartbeats, SettingsOkResetsTheLightsAndRestartsTheHeartbeatPeriod) {
    Harness h;
    auto& w = startTenSecondHeartbeat(h);
    h.advance(10350);
    ASSERT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::cyan);
    ASSERT_NE(lamps(w), "1111111");

    w.heartbeats.resetFromSettings();
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::black);
    EXPECT_EQ(lamps(w), "1111111");
    EXPECT_TRUE(w.HEARTBEAT_TIMER.enabled());
    auto shown = w.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text();
    h.advance(999);
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text(), shown) << "the period starts again";
    h.advance(1);
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_DISPLAY_TEXTBOX.text(), "00:00:09");
}

TEST(Heartbeats, SettingsOkStartsNoHeartbeatAndTakesNoSleepLockWhileNoneRuns) {
    Harness h;
    auto& w = h.start();
    w.heartbeats.resetFromSettings();
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::black);
    EXPECT_FALSE(w.HEARTBEAT_TIMER.enabled());
    EXPECT_FALSE(h.platform.sleepInhibited);
}

TEST(Heartbeats, LockLightsFollowTheKeyboardAndSayWhenItCannotBeRead) {
    Harness h;
    h.platform.locks = {{LockKey::Num, true}, {LockKey::Caps, false}, {LockKey::Scroll, true}};
    auto& w = h.start();
    h.advance(100);
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.back(), colour::green);
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.toolTip(), "NUM LOCK = ON");
    EXPECT_EQ(w.VERT_CAPS_LIGHT_LABEL.back(), colour::red);
    EXPECT_EQ(w.VERT_CAPS_LIGHT_LABEL.toolTip(), "CAPS LOCK = OFF");
    EXPECT_EQ(w.VERT_SCROLL_LIGHT_LABEL.back(), colour::green);
    EXPECT_EQ(w.VERT_SCROLL_LIGHT_LABEL.toolTip(), "SCROLL LOCK = ON");

    w.VERT_CAPS_LIGHT_LABEL.doubleClick();
    EXPECT_EQ(h.platform.presses, std::vector<LockKey>{LockKey::Caps});
    h.advance(100);
    EXPECT_EQ(w.VERT_CAPS_LIGHT_LABEL.back(), colour::green);
    EXPECT_EQ(w.VERT_CAPS_LIGHT_LABEL.toolTip(), "CAPS LOCK = ON");
    w.VERT_SCROLL_LIGHT_LABEL.doubleClick();
    w.VERT_NUM_LIGHT_LABEL.doubleClick();
    EXPECT_EQ(h.platform.presses, (std::vector<LockKey>{LockKey::Caps, LockKey::Scroll, LockKey::Num}));

    h.platform.keyboardAvailable = false;
    h.advance(100);
    for (auto* light : {&w.VERT_NUM_LIGHT_LABEL, &w.VERT_CAPS_LIGHT_LABEL, &w.VERT_SCROLL_LIGHT_LABEL}) {
        EXPECT_EQ(light->back(), colour::windowBackground) << light->name();
        EXPECT_NE(light->toolTip().find("UNKNOWN"), std::string::npos) << light->toolTip();
    }
    EXPECT_EQ(w.VERT_NUM_LIGHT_LABEL.toolTip().rfind("NUM LOCK", 0), 0u);
}

TEST(Heartbeats, SkippedKeyPressesAreReportedOnceUntilTheKeyboardReturns) {
    Harness h;
    h.platform.keyboardAvailable = false;
    auto& w = startTenSecondHeartbeat(h);
    h.advance(10750);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "LOCK KEY PRESSES SKIPPED: NO KEYBOARD");
    EXPECT_EQ(w.KITT_BACKGROUND_LABEL.back(), colour::green) << "the heartbeat goes on";

    w.status("RUNNING BLOCKCOUNTER...");
    h.advance(20000);
    w.VERT_NUM_LIGHT_LABEL.doubleClick();
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "RUNNING BLOCKCOUNTER...");
    EXPECT_TRUE(h.platform.presses.empty());

    h.platform.keyboardAvailable = true;
    w.VERT_NUM_LIGHT_LABEL.doubleClick();
    EXPECT_EQ(h.platform.presses.size(), 1u);
    h.platform.keyboardAvailable = false;
    w.VERT_NUM_LIGHT_LABEL.doubleClick();
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "LOCK KEY PRESSES SKIPPED: NO KEYBOARD");
}

TEST(Heartbeats, SleepLockIsHeldWhileTheHeartbeatRunsAndGivenBackAtTheEnd) {
    Harness h;
    auto& w = h.start();
    EXPECT_FALSE(h.platform.sleepInhibited);
    w.KITT_START_BUTTON.click();
    EXPECT_TRUE(h.platform.sleepInhibited);
    w.KITT_START_BUTTON.click();
    EXPECT_FALSE(h.platform.sleepInhibited);

    w.heartbeats.startFromPipeline();
    ASSERT_TRUE(h.platform.sleepInhibited);
    w.close();
    h.advance(0);
    EXPECT_FALSE(h.platform.sleepInhibited) << "the program's end gives the lock back";
}

TEST(Heartbeats, MissingSleepLockIsNotedAndTheHeartbeatRunsAnyway) {
    Harness h;
    h.platform.sleepLockFailure = "systemd-inhibit is not installed";
    auto& w = h.start();
    w.KITT_START_BUTTON.click();
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "SLEEP LOCK NOT TAKEN: SYSTEMD-INHIBIT IS NOT INSTALLED");
    EXPECT_TRUE(w.HEARTBEAT_TIMER.enabled());
    EXPECT_FALSE(h.platform.sleepInhibited);

    // A later start tries again.
    w.KITT_START_BUTTON.click();
    h.platform.sleepLockFailure.clear();
    w.KITT_START_BUTTON.click();
    EXPECT_TRUE(h.platform.sleepInhibited);
}

TEST(Heartbeats, ToolTipsShowTheFiguresOnceASecond) {
    Harness h;
    auto& w = h.start();
    const std::vector<std::pair<Element*, std::string>> expected = {
        {&w.CURRENT_BLOCK_TEXTBOX, "Current Block = "},
        {&w.LAST_BLOCKCOUNT_TEXTBOX, "Last Block = "},
        {&w.USER_COUNT_TIME_TEXTBOX, "GETBLOCKCOUNT Runs Every: "},
        {&w.BLOCKCOUNT_TIMER_TEXTBOX, "Next GETBLOCKCOUNT Check In : "},
        {&w.USER_OVERRIDE_TIME_TEXTBOX, "Override Timer Set To: "},
        {&w.OVERRIDE_TIMER_TEXTBOX, "Override Timer Activates In: "},
        {&w.BC_FOLDER_SIZE_BEFORE, "Blockchain Folder Size BEFORE Update: "},
        {&w.BC_FOLDER_SIZE_AFTER, "Blockchain Folder Size AFTER Update: "},
        {&w.RUNTIME_LABEL, "PACEDECK Has Been Running For: "},
        {&w.START_TIME_TEXTBOX, "PACEDECK Started Running At: "},
        {&w.END_TIME_TEXTBOX, "PACEDECK Finished Running At: "},
        {&w.BLOCKCOUNT_LOG_START_TEXTBOX, "BlockCount Number At Start: "},
        {&w.BLOCKCOUNT_LOG_END_TEXTBOX, "BlockCount Number At End: "},
    };
    int n = 0;
    for (auto& [element, prefix] : expected) element->setText("value " + std::to_string(++n));
    h.advance(999);
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.toolTip(), "");
    h.advance(1);
    n = 0;
    for (auto& [element, prefix] : expected)
        EXPECT_EQ(element->toolTip(), prefix + "value " + std::to_string(++n)) << element->name();

    w.CURRENT_BLOCK_TEXTBOX.setText("812345");
    h.advance(1000);
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.toolTip(), "Current Block = 812345");
}

}  // namespace pd::test
