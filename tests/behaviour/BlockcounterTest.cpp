#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "Harness.hpp"

namespace pd::test {

namespace {
constexpr const char* home = "C:\\PD";
constexpr const char* script = "C:\\PD\\BATS\\DEMO-RUN-BLOCKCOUNTER-GBC.bat";
constexpr const char* countFile = "C:\\PD\\BLOCKCOUNTS\\DEMO-LATEST-BLOCKCOUNT.LOG";
constexpr const char* daemonScript = "C:\\PD\\BATS\\DEMO-RUN-DAEMON.bat";
constexpr const char* cliStopScript = "C:\\PD\\BATS\\DEMO-RUN-CLI-STOP.bat";
constexpr const char* cli = "coin-cli.exe";
constexpr const char* daemon = "coind.exe";
constexpr const char* block = "812345\r\n";
// What Wine's cmd writes ahead of the cli's output when it runs the poll script.
constexpr const char* wineEcho = "\r\nC:\\PD 2024\\BATS>call coin-cli.exe getblockcount  1>x\r\n";

using Phase = std::array<Colour, 4>;
constexpr Colour bg = colour::windowBackground;
constexpr Colour G = colour::green;
constexpr Colour P = colour::pink;
}  // namespace

// The blockcounter on virtual time, with a simulated cli: every launch of the poll script
// writes the next prepared reading into the block-count file (and, for a hanging cli,
// leaves a cli process running).
class Blockcounter : public ::testing::Test {
  protected:
    Blockcounter() {
        h.put("PACEDECK_HOME_TEXTBOX", home);
        h.put("QT_NAME_TEXTBOX", "coin-qt.exe");
        h.put("DAEMOND_NAME_TEXTBOX", daemon);
        h.put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", cli);
        h.put("USER_COUNT_TIME_TEXTBOX", "00:00:10");
        h.put("FINISH_WHEN_IDENTICAL_TICKBOX", "1");
        h.platform.files[script] = "call coin-cli.exe getblockcount > x\r\n";
        h.platform.running.insert(daemon);
    }

    MainWindow& open() {
        auto& w = h.start();
        w.CURRENT_STATUS_LABEL.observe([this](const Element& e) { statuses.push_back(e.text()); });
        // The end signal is what these tests watch; the run's later stages have their own tests.
        w.TASK_9_MAIN_TIMER.onTick = nullptr;
        return w;
    }

    // Runs virtual time event by event so that each poll is answered the moment it starts,
    // and notes each phase the lights show between events.
    void run(std::int64_t ms) {
        const auto end = h.clock.nowMs() + ms;
        for (;;) {
            auto next = h.scheduler.nextDue();
            if (!next || *next > end) {
                h.advance(end - h.clock.nowMs());
                answerPolls();
                return;
            }
            h.advance(*next - h.clock.nowMs());
            answerPolls();
        }
    }

    void answerPolls() {
        auto& w = h.main();
        Phase now{w.IDENTICAL_TEXTBOX.back(), w.VERIFYING_TEXTBOX.back(), w.TRIPLE_CHECK_TEXTBOX.back(),
                  w.CONFIRMED_TEXTBOX.back()};
        if (now != Phase{bg, bg, bg, bg} || !phases.empty())
            if (phases.empty() || phases.back() != now) phases.push_back(now);
        auto& launches = h.platform.launches;
        for (; seen < launches.size(); ++seen) {
            // A node that starts by its script and stops by the cli's.
            if (launches[seen].what == daemonScript) h.platform.running.insert(daemon);
            if (launches[seen].what == cliStopScript) h.platform.running.erase(daemon);
            if (launches[seen].what != script) continue;
            EXPECT_EQ(launches[seen].style, WindowStyle::Hidden);
            polls.push_back(h.clock.nowMs());
            if (readingAt)
                h.platform.files[countFile] = readingAt(h.clock.nowMs());
            else if (!readings.empty())
                h.platform.files[countFile] = readings[std::min(polls.size(), readings.size()) - 1];
            if (cliHangs) h.platform.running.insert(cli);
        }
    }

    bool saw(std::string_view status) const {
        return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
    }
    std::size_t count(std::string_view status) const {
        return static_cast<std::size_t>(std::count(statuses.begin(), statuses.end(), status));
    }
    static bool anyPollStageRuns(MainWindow& w) {
        for (auto* t : {&w.BLOCKCOUNTER_COUNTDOWN_TIMER, &w.GETBLOCKCOUNT_TIMER, &w.CLI_PROCESS_WATCHER_TIMER,
                        &w.BLOCKCOUNT_TEXTBOX_UPDATER_TIMER, &w.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER,
                        &w.IDENTICAL_CHECKER_TIMER, &w.CHECKER_TIMER, &w.VERIFY_TIMER, &w.TRIPLE_CHECK_TIMER,
                        &w.COMPLETED_TIMER})
            if (t->enabled()) return true;
        return false;
    }

    Harness h{"DEMO", windowsProfile()};
    std::vector<std::string> readings;                   // the last one repeats
    std::function<std::string(std::int64_t)> readingAt;  // instead, the reading at a virtual time
    bool cliHangs = false;
    std::vector<std::int64_t> polls;  // virtual time of each poll script launch
    std::vector<std::string> statuses;
    std::vector<Phase> phases;
    std::size_t seen = 0;
};

TEST_F(Blockcounter, FourEqualReadingsConfirmTheChainThroughVerifyAndTripleCheck) {
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "STOP");
    EXPECT_TRUE(w.USER_COUNT_TIME_TEXTBOX.locked());
    run(11'000);
    ASSERT_EQ(polls.size(), 1u);  // one second after the countdown reached zero
    run(60'000);

    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(polls[1] - polls[0], 14'250);  // not identical: full countdown again
    EXPECT_EQ(polls[2] - polls[1], 7'250);   // first match: re-poll after the checker
    EXPECT_EQ(polls[3] - polls[2], 8'250);   // verified: second re-poll
    const std::vector<Phase> expected = {{G, bg, bg, bg}, {G, P, bg, bg}, {G, G, P, bg}, {G, G, G, G}};
    EXPECT_EQ(phases, expected);
    EXPECT_TRUE(saw("!!! BLOCKCOUNTER - VERIFYING GETBLOCKCOUNT!!!"));
    EXPECT_TRUE(saw("!!! BLOCKCOUNTER - TRIPLE CHECK CONFIRMED !!!"));
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::green);
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(h.stored("INFO_ONLY_BLOCK_TRIPLE_CHECK_TEXTBOX"), block);
    EXPECT_EQ(w.TASK_8_LIGHT.back(), colour::green);
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
    EXPECT_TRUE(w.TASK_9_MAIN_TIMER.enabled());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "START");
    EXPECT_FALSE(anyPollStageRuns(w));
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.back(), colour::green);
}

TEST_F(Blockcounter, TheEndSignalFollowsAboutEightSecondsAfterTheLastPoll) {
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    std::int64_t signalled = -1;
    w.TASK_9_LIGHT.observe([&](const Element& e) {
        if (e.back() == colour::green && signalled < 0) signalled = h.clock.nowMs();
    });
    run(70'000);
    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(signalled - polls[3], 8'250);
}

TEST_F(Blockcounter, WithFinishUntickedEqualReadingsNeverEndTheRun) {
    h.put("FINISH_WHEN_IDENTICAL_TICKBOX", "0");
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(10 * 60'000);
    EXPECT_TRUE(saw("!!! BLOCKCOUNTER - CHECKER DISABLED !!!"));
    auto disabled = std::find(statuses.begin(), statuses.end(), "!!! BLOCKCOUNTER - CHECKER DISABLED !!!");
    ASSERT_NE(disabled + 1, statuses.end());
    EXPECT_EQ(*(disabled + 1), "!!! BLOCKCOUNTER - RESTARTING COUNTDOWN !!!");
    // Only ever the first match, thrown back by the checker; never a verify.
    ASSERT_GE(phases.size(), 2u);
    for (std::size_t i = 0; i < phases.size(); ++i)
        EXPECT_EQ(phases[i], i % 2 == 0 ? (Phase{G, bg, bg, bg}) : (Phase{bg, bg, bg, bg}));
    // A poll every cycle: 10 s countdown plus the read chain, plus the 3 s checker once matching.
    EXPECT_GE(polls.size(), 30u);
    for (std::size_t i = 2; i < polls.size(); ++i) EXPECT_EQ(polls[i] - polls[i - 1], 17'250);
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::black);
    EXPECT_FALSE(w.TASK_9_MAIN_TIMER.enabled());
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled() || w.GETBLOCKCOUNT_TIMER.enabled() ||
                anyPollStageRuns(w));
}

TEST_F(Blockcounter, ZeroAndEmptyReadingsAreDroppedAndTheCountdownStartsAgain) {
    auto& w = open();
    w.LAST_BLOCKCOUNT_TEXTBOX.setText(block);
    w.CURRENT_BLOCK_TEXTBOX.setText(block);
    w.blockcounter.startFromPipeline();
    // "0" with the profile's line end, an empty file, no file at all, and files the cli did
    // not fill with a number (a redirect that failed, an error message, cmd's echo alone).
    for (const char* bad : std::initializer_list<const char*>{
             "0\r\n", "", nullptr, "\r\n", " \n", "error: couldn't connect to server\r\n", wineEcho}) {
        polls.clear();
        statuses.clear();
        readings.clear();
        if (bad)
            readings = {bad};
        else
            h.platform.files.erase(countFile);
        run(10'000 + 3'250);  // countdown, poll, cli wait, read, screen
        ASSERT_EQ(polls.size(), 1u);
        EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - ZERO / NOT IDENTICAL !!!");
        EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.text(), block);
        EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), block);
        EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "00:00:10");
        EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
        EXPECT_FALSE(w.IDENTICAL_CHECKER_TIMER.enabled());
        EXPECT_TRUE(phases.empty());
    }
}

TEST_F(Blockcounter, TheZeroReadingIsTheProfilesOwn) {
    Harness posix("DEMO");  // line feed only
    posix.put("PACEDECK_HOME_TEXTBOX", "/pd");
    posix.put("DAEMOND_NAME_TEXTBOX", daemon);
    posix.put("QT_NAME_TEXTBOX", "coin-qt");
    posix.put("USER_COUNT_TIME_TEXTBOX", "00:00:02");
    posix.platform.files["/pd/BATS/DEMO-RUN-BLOCKCOUNTER-GBC.sh"] = "exec cli";
    posix.platform.files["/pd/BLOCKCOUNTS/DEMO-LATEST-BLOCKCOUNT.LOG"] = "0\n";
    posix.platform.running.insert(daemon);
    auto& w = posix.start();
    EXPECT_EQ(w.ZERO_NEW_LINE_TEXTBOX.text(), "0\n");
    w.blockcounter.startFromPipeline();
    posix.advance(2'000 + 3'250);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - ZERO / NOT IDENTICAL !!!");
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.text(), "");
}

TEST_F(Blockcounter, TheFirstPollNeverMatchesAndBecomesTheLastReading) {
    readings = {block};
    auto& w = open();
    ASSERT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "");
    w.blockcounter.startFromPipeline();
    run(10'000 + 4'250);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - NOT IDENTICAL !!!");
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), block);
    EXPECT_EQ(h.stored("INFO_ONLY_CURRENT_BLOCK_TEXTBOX"), block);
    EXPECT_EQ(h.stored("INFO_ONLY_LAST_BLOCKCOUNT_TEXTBOX"), "");
    EXPECT_TRUE(phases.empty());
    EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "00:00:10");
}

TEST_F(Blockcounter, TheEchoOfCmdAheadOfTheOutputIsNoPartOfTheReading) {
    readings = {std::string(wineEcho) + block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(60'000);
    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!");
    EXPECT_EQ(w.BLOCK_TRIPLE_CHECK_TEXTBOX.text(), block);
}

TEST_F(Blockcounter, AReadingThatDiffersOnlyByItsLineEndIsDifferent) {
    readings = {"812345"};
    auto& w = open();
    w.LAST_BLOCKCOUNT_TEXTBOX.setText(block);
    w.blockcounter.startFromPipeline();
    run(10'000 + 4'250);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - NOT IDENTICAL !!!");
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "812345");
    EXPECT_TRUE(phases.empty());
}

TEST_F(Blockcounter, AHigherBlockOnTheVerifyPollThrowsThePhaseBackToSearching) {
    readings = {block, block, "812346\r\n"};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(10'000 + 14'250 + 7'250 + 4'250);
    ASSERT_EQ(polls.size(), 3u);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - NOT IDENTICAL !!!");
    EXPECT_FALSE(saw("!!! BLOCKCOUNTER - VERIFY FAILED !!!"));  // caught by the compare stage
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "812346\r\n");
    EXPECT_EQ(phases.back(), (Phase{bg, bg, bg, bg}));
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
    EXPECT_FALSE(w.VERIFY_TIMER.enabled());
    // The verify copy is taken again in the next search.
    readings = {"812346\r\n"};
    run(60'000);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!");
}

TEST_F(Blockcounter, TheOverrideEndsTheBlockcounterInTheMiddleOfAPoll) {
    h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
    h.put("AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1");
    h.put("USER_OVERRIDE_TIME_TEXTBOX", "00:00:15");
    readings = {block};
    cliHangs = true;  // the poll never gets past the cli wait
    auto& w = open();
    w.blockcounter.startFromPipeline();
    EXPECT_TRUE(w.OVERRIDE_TIMER.enabled());
    EXPECT_TRUE(w.USER_OVERRIDE_TIME_TEXTBOX.locked());
    EXPECT_EQ(w.START_OVERRIDE_BUTTON.text(), "STOP");
    EXPECT_EQ(w.START_OVERRIDE_BUTTON.toolTip(), "STOP BLOCKCOUNTER OVERRIDE TIMER");
    run(14'000);
    EXPECT_EQ(w.OVERRIDE_TIMER_TEXTBOX.text(), "00:00:01");
    EXPECT_TRUE(w.CLI_PROCESS_WATCHER_TIMER.enabled());
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! CLI PROCESS RUNNING - WAITING !!!");
    run(1'000);
    EXPECT_EQ(w.OVERRIDE_TIMER_TEXTBOX.text(), "--:--:--");
    EXPECT_FALSE(anyPollStageRuns(w));
    EXPECT_FALSE(w.OVERRIDE_TIMER.enabled());
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - MORE BLOCKS THAN TIME !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! OVERRIDE TIMER ACTIVATED !!!");
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! OVERRIDE TIMER ACTIVATED !!!");
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
    EXPECT_TRUE(w.TASK_9_MAIN_TIMER.enabled());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "STOP");  // captions are left alone
    // The cli ends late: its output is never read.
    h.platform.running.erase(cli);
    h.platform.files[countFile] = "999\r\n";
    run(10'000);
    EXPECT_NE(w.CURRENT_BLOCK_TEXTBOX.text(), "999\r\n");
}

TEST_F(Blockcounter, DoubleClickOnTheOverrideTimeRestartsItOnlyWhileItRuns) {
    h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
    h.put("USER_OVERRIDE_TIME_TEXTBOX", "00:01:00");
    auto& w = open();
    ASSERT_TRUE(w.USER_OVERRIDE_TIME_TEXTBOX.enabled());
    const auto writesBefore = h.store.writtenKeys("DEMO").size();
    w.USER_OVERRIDE_TIME_TEXTBOX.doubleClick();  // not running: nothing, not even a save
    EXPECT_EQ(h.store.writtenKeys("DEMO").size(), writesBefore);

    ASSERT_TRUE(w.START_OVERRIDE_BUTTON.click());
    EXPECT_EQ(w.START_OVERRIDE_BUTTON.text(), "STOP");
    EXPECT_TRUE(w.USER_OVERRIDE_TIME_TEXTBOX.locked());
    h.advance(20'000);
    EXPECT_EQ(w.OVERRIDE_TIMER_TEXTBOX.text(), "00:00:40");
    w.USER_COUNT_TIME_TEXTBOX.setText("00:00:30");
    w.USER_OVERRIDE_TIME_TEXTBOX.doubleClick();
    EXPECT_EQ(w.OVERRIDE_TIME_LEFT, TimeOfDay(0, 1, 0));
    EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), "00:00:30");
    EXPECT_EQ(h.stored("USER_OVERRIDE_TIME_TEXTBOX"), "00:01:00");
    h.advance(1'000);
    EXPECT_EQ(w.OVERRIDE_TIMER_TEXTBOX.text(), "00:00:59");

    ASSERT_TRUE(w.START_OVERRIDE_BUTTON.click());  // stopped again
    EXPECT_FALSE(w.OVERRIDE_TIMER.enabled());
    EXPECT_FALSE(w.USER_OVERRIDE_TIME_TEXTBOX.locked());
    EXPECT_EQ(w.START_OVERRIDE_BUTTON.toolTip(), "START BLOCKCOUNTER OVERRIDE TIMER");
    h.advance(5'000);
    w.USER_OVERRIDE_TIME_TEXTBOX.doubleClick();
    EXPECT_EQ(w.OVERRIDE_TIME_LEFT, TimeOfDay(0, 0, 59));
}

TEST_F(Blockcounter, UntickingTheOverrideEnableStopsItAndClearsAutoStart) {
    h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
    h.put("AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1");
    auto& w = open();
    ASSERT_TRUE(w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.ticked());
    w.blockcounter.startFromPipeline();
    ASSERT_TRUE(w.OVERRIDE_TIMER.enabled());
    ASSERT_TRUE(w.OVERRIDE_TIMER_ENABLE_TICKBOX.click());
    EXPECT_FALSE(w.OVERRIDE_TIMER.enabled());
    EXPECT_FALSE(w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.ticked());
    EXPECT_FALSE(w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.enabled());
    EXPECT_FALSE(w.START_OVERRIDE_BUTTON.enabled());
    EXPECT_EQ(w.START_OVERRIDE_BUTTON.text(), "START");
    EXPECT_FALSE(w.USER_OVERRIDE_TIME_TEXTBOX.enabled());
    EXPECT_TRUE(w.USER_OVERRIDE_TIME_TEXTBOX.locked());
    EXPECT_FALSE(w.OVERRIDE_TIMER_TEXTBOX.enabled());
    EXPECT_EQ(h.stored("OVERRIDE_TIMER_ENABLE_TICKBOX"), "0");
    EXPECT_EQ(h.stored("AUTOSTART_OVERRIDE_TIMER_TICKBOX"), "0");
    auto keys = h.store.writtenKeys("DEMO");
    // The auto-start box is saved by its own rule before the enable box.
    auto autoAt = std::find(keys.rbegin(), keys.rend(), "AUTOSTART_OVERRIDE_TIMER_TICKBOX");
    auto enableAt = std::find(keys.rbegin(), keys.rend(), "OVERRIDE_TIMER_ENABLE_TICKBOX");
    EXPECT_GT(autoAt - keys.rbegin(), enableAt - keys.rbegin());
    // Ticking it again makes the controls usable, not running.
    ASSERT_TRUE(w.OVERRIDE_TIMER_ENABLE_TICKBOX.click());
    EXPECT_TRUE(w.START_OVERRIDE_BUTTON.enabled());
    EXPECT_TRUE(w.USER_OVERRIDE_TIME_TEXTBOX.enabled());
    EXPECT_FALSE(w.USER_OVERRIDE_TIME_TEXTBOX.locked());
    EXPECT_FALSE(w.OVERRIDE_TIMER.enabled());
    EXPECT_EQ(h.stored("OVERRIDE_TIMER_ENABLE_TICKBOX"), "1");
}

TEST_F(Blockcounter, StopDuringTheCliWaitEndsTheWaitAndNeverReadsTheLateOutput) {
    readings = {block};
    cliHangs = true;
    auto& w = open();
    ASSERT_TRUE(w.START_STOP_TIMER_BUTTON.click());
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! MANUAL START !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::green);
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! MANUAL START !!!");
    EXPECT_FALSE(w.SETTINGS_BUTTON.enabled());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.toolTip(), "STOP BLOCKCOUNTER");
    run(12'000);
    ASSERT_TRUE(w.CLI_PROCESS_WATCHER_TIMER.enabled());
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.back(), colour::red);
    EXPECT_FALSE(w.RUN_NOW_BUTTON.enabled());

    ASSERT_TRUE(w.START_STOP_TIMER_BUTTON.click());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "START");
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.toolTip(), "START BLOCKCOUNTER");
    EXPECT_FALSE(w.USER_COUNT_TIME_TEXTBOX.locked());
    EXPECT_TRUE(w.SETTINGS_BUTTON.enabled());
    EXPECT_FALSE(anyPollStageRuns(w));
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! MANUAL STOP !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::red);
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! MANUAL STOP !!!");

    h.platform.running.erase(cli);
    run(30'000);
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.text(), "");
    EXPECT_FALSE(saw("!!! BLOCKCOUNTER - UPDATING BLOCKCOUNT !!!"));
    EXPECT_EQ(polls.size(), 1u);
    EXPECT_TRUE(w.RUN_NOW_BUTTON.enabled());  // the watcher follows the cli alone
}

TEST_F(Blockcounter, RunNowPollsAtOnceAndLeavesTheBlockcounterCounting) {
    readings = {block};
    auto& w = open();
    run(1'000);
    ASSERT_TRUE(w.RUN_NOW_BUTTON.click());
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "GETBLOCKCOUNT - MANUAL RUN STARTED");
    EXPECT_EQ(w.CURRENT_BLOCK_TEXTBOX.back(), colour::magenta);
    run(1'000);
    EXPECT_EQ(polls.size(), 1u);
    run(3'250);
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), block);
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "START");
}

TEST_F(Blockcounter, ANodeThatHasGoneIsReportedAsAFaultNotAsSuccess) {
    h.platform.running.clear();
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(10'000);
    EXPECT_TRUE(polls.empty());
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BC - QT / DAEMON ERROR - CONTINUING... !!!");
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.back(), colour::red);
    EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "--:--:--");
    run(1'000);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BC - QT / DAEMON ERROR - CONTINUING... !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! QT / DAEMON ERROR !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::red);
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! QT / DAEMON ERROR !!!");
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
    EXPECT_TRUE(w.TASK_9_MAIN_TIMER.enabled());

    // A later run that does catch up is a success again, on a status line that stays red.
    h.platform.running.insert(daemon);
    readings = {block};
    w.blockcounter.startFromPipeline();
    run(90'000);
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.back(), colour::red);
}

TEST_F(Blockcounter, WithoutNodeNamesItSaysSoAndKeepsCountingWithoutPolling) {
    h.put("QT_NAME_TEXTBOX", "");
    h.put("DAEMOND_NAME_TEXTBOX", "");
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(10'000);
    EXPECT_TRUE(polls.empty());
    EXPECT_NE(w.CURRENT_STATUS_LABEL.text().find("NAME NOT SET"), std::string::npos);
    EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "00:00:10");
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
    EXPECT_FALSE(w.COMPLETED_TIMER.enabled());
    run(1'000);
    EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "00:00:09");
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.back(), colour::black);
}

TEST_F(Blockcounter, AMissingPollScriptIsReportedAndTheCountdownStartsAgain) {
    h.platform.files.erase(script);
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(11'000);
    EXPECT_TRUE(h.platform.launches.empty());
    EXPECT_NE(w.CURRENT_STATUS_LABEL.text().find("GETBLOCKCOUNT NOT STARTED"), std::string::npos);
    EXPECT_NE(w.CURRENT_STATUS_LABEL.text().find(script), std::string::npos);
    EXPECT_FALSE(w.CLI_PROCESS_WATCHER_TIMER.enabled());
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
    EXPECT_EQ(w.BLOCKCOUNT_TIMER_TEXTBOX.text(), "00:00:10");
}

TEST_F(Blockcounter, EveryRunStartsWithFullCountdownsAndNoLeftoverPhase) {
    h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
    h.put("AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1");
    h.put("USER_OVERRIDE_TIME_TEXTBOX", "00:10:00");
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(90'000);
    ASSERT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!");
    ASSERT_EQ(w.CONFIRMED_TEXTBOX.back(), colour::green);
    const auto pollsOfFirstRun = polls.size();

    // The second run: its first reading equals the last at once (the chain is synced).
    w.TASK_9_MAIN_TIMER.stop();
    w.blockcounter.startFromPipeline();
    EXPECT_EQ(w.BLOCKCOUNT_TIME_LEFT, TimeOfDay(0, 0, 10));
    EXPECT_EQ(w.OVERRIDE_TIME_LEFT, TimeOfDay(0, 10, 0));
    EXPECT_EQ(w.CONFIRMED_TEXTBOX.back(), colour::windowBackground);
    run(11'000);
    EXPECT_EQ(polls.size(), pollsOfFirstRun + 1);
    run(30'000);
    EXPECT_EQ(polls.size(), pollsOfFirstRun + 3);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!");
    EXPECT_TRUE(w.TASK_9_MAIN_TIMER.enabled());
}

TEST_F(Blockcounter, ManualFinishEndsTheRunOrRecordsAnUpToDateChain) {
    readings = {block};
    cliHangs = true;
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(11'000);
    ASSERT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.click());
    EXPECT_FALSE(anyPollStageRuns(w));
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER - MANUAL FINISH !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! MANUAL FINISH !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::red);
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "<unset>");  // not kept
    EXPECT_EQ(w.TASK_8_LIGHT.back(), colour::green);
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
    EXPECT_TRUE(w.TASK_9_MAIN_TIMER.enabled());
    EXPECT_EQ(w.START_STOP_TIMER_BUTTON.text(), "START");

    // Right after a completion that did not finish, the button only records the outcome.
    w.TASK_9_MAIN_TIMER.stop();
    w.blockcounter.startFromPipeline();
    w.status("!!! BLOCKCHAIN UPDATED !!!");
    w.BLOCKCOUNTER_COUNTDOWN_TIMER.start();
    ASSERT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.click());
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! MANUAL FINISH - UP-TO-DATE !!!");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::green);
    EXPECT_TRUE(w.BLOCKCOUNTER_COUNTDOWN_TIMER.enabled());
    EXPECT_FALSE(w.TASK_9_MAIN_TIMER.enabled());
}

TEST_F(Blockcounter, ManualFinishCanBePressedOnlyWhileARunWaitsForTheBlockcounter) {
    readings = {block};
    auto& w = open();
    // Idle, a stray click must not stop a node, rewrite the report and mail it.
    EXPECT_FALSE(w.FINISH_BLOCKCOUNTER_BUTTON.enabled());
    EXPECT_FALSE(w.FINISH_BLOCKCOUNTER_BUTTON.click());
    EXPECT_FALSE(w.TASK_9_MAIN_TIMER.enabled());
    // Each way the wait ends disables it again: completion, override, manual finish, STOP.
    for (auto end : {"completion", "override", "finish", "stop"}) {
        SCOPED_TRACE(end);
        w.TASK_9_MAIN_TIMER.stop();
        w.blockcounter.startFromPipeline();
        EXPECT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.enabled());
        if (end == std::string_view("completion")) {
            run(60'000);
        } else if (end == std::string_view("override")) {
            w.OVERRIDE_TIME_LEFT = TimeOfDay(0, 0, 2);
            w.OVERRIDE_TIMER.start();
            run(2'000);
        } else if (end == std::string_view("finish")) {
            ASSERT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.click());
        } else {
            w.MULTILOADER_START_STOP_BUTTON.setText("STOP");
            ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
        }
        EXPECT_FALSE(w.FINISH_BLOCKCOUNTER_BUTTON.enabled());
    }
}

TEST_F(Blockcounter, ANodeErrorCutShortByAFinishOrAnOverrideDoesNotStampTheNextRun) {
    h.put("USER_OVERRIDE_TIME_TEXTBOX", "00:00:10");
    auto& w = open();
    for (bool override : {false, true}) {
        SCOPED_TRACE(override ? "override" : "manual finish");
        // The node has gone when the countdown ends: the error is noted and the completion
        // step is a second away, but the wait ends first.
        h.platform.running.clear();
        readings.clear();
        w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setValue(override ? 1 : 0);
        w.TASK_9_MAIN_TIMER.stop();
        w.blockcounter.startFromPipeline();
        run(10'000);
        ASSERT_EQ(w.CURRENT_STATUS_LABEL.text(), override ? "!!! BLOCKCOUNTER - MORE BLOCKS THAN TIME !!!"
                                                          : "!!! BC - QT / DAEMON ERROR - CONTINUING... !!!");
        if (!override) {
            ASSERT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.click());
        }
        EXPECT_NE(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! QT / DAEMON ERROR !!!");
        // The next run finds its node and catches up: a success.
        w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setValue(0);
        w.TASK_9_MAIN_TIMER.stop();
        h.platform.running.insert(daemon);
        readings = {block};
        w.blockcounter.startFromPipeline();
        run(70'000);
        EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    }
}

TEST_F(Blockcounter, TheTickboxesAndTheCountTimeSaveTheirKeys) {
    auto& w = open();
    ASSERT_TRUE(w.FINISH_WHEN_IDENTICAL_TICKBOX.click());
    EXPECT_EQ(h.stored("FINISH_WHEN_IDENTICAL_TICKBOX"), "0");
    ASSERT_TRUE(w.OVERRIDE_TIMER_ENABLE_TICKBOX.click());
    ASSERT_TRUE(w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.click());
    EXPECT_EQ(h.stored("AUTOSTART_OVERRIDE_TIMER_TICKBOX"), "1");
    w.USER_COUNT_TIME_TEXTBOX.setText("00:02:00");
    w.USER_OVERRIDE_TIME_TEXTBOX.setText("00:30:00");
    w.USER_COUNT_TIME_TEXTBOX.doubleClick();
    EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), "00:02:00");
    EXPECT_EQ(h.stored("USER_OVERRIDE_TIME_TEXTBOX"), "00:30:00");
    EXPECT_EQ(w.BLOCKCOUNT_TIME_LEFT, TimeOfDay(0, 0, 10));  // the countdown keeps its course
    // START loads both countdowns from their boxes.
    ASSERT_TRUE(w.START_STOP_TIMER_BUTTON.click());
    EXPECT_EQ(w.BLOCKCOUNT_TIME_LEFT, TimeOfDay(0, 2, 0));
    EXPECT_EQ(w.OVERRIDE_TIME_LEFT, TimeOfDay(0, 30, 0));
}

// ---------------------------------------------------------------- the sync check

namespace {
constexpr const char* chainInfoScript = "C:\\PD\\BATS\\DEMO-RUN-BLOCKCHAININFO.bat";
constexpr const char* peerScript = "C:\\PD\\BATS\\DEMO-RUN-CONNECTIONCOUNT.bat";
constexpr const char* history = "C:\\PD\\LOGS\\DEMO-SYNC-HISTORY.csv";
constexpr std::int64_t runStart = 1796747400;  // 2026-12-08T16:30:00Z

CommandResult chainInfo(int blocks, int headers, bool initialDownload) {
    return {true, 0,
            "{\n  \"chain\": \"main\",\n  \"blocks\": " + std::to_string(blocks) +
                ",\n  \"headers\": " + std::to_string(headers) +
                ",\n  \"verificationprogress\": 0.8,\n  \"initialblockdownload\": " +
                (initialDownload ? "true" : "false") + ",\n  \"softforks\": {\"x\": {\"blocks\": 1}}\n}\n"};
}
CommandResult peers(int n) {
    return {true, 0, std::to_string(n) + "\n"};
}
// The same answer as Wine's cmd captures it: its echo of the script's command comes first.
CommandResult afterEcho(CommandResult r) {
    r.output = "\r\nC:\\PD\\BATS>\"C:\\coin 1\\coin-cli.exe\" \"-conf=C:\\n 2.conf\" call\r\n" + r.output;
    return r;
}
const CommandResult methodNotFound{true, 89, "error code: -32601\nerror message:\nMethod not found\n"};
// litecoin-cli 0.21's words: after a start, for an rpcwhitelist user, with a wrong password,
// with no node behind the port, and sh's when the program is gone.
const CommandResult warmingUp{true, 28, "error code: -28\nerror message:\nLoading block index...\n"};
const CommandResult forbidden{true, 1, "error: server returned HTTP error 403\n"};
const CommandResult wrongPassword{true, 1, "error: Authorization failed: Incorrect rpcuser or rpcpassword\n"};
const CommandResult noNode{
    true, 1,
    "error: Could not connect to the server 127.0.0.1:40633\n\nMake sure the litecoind "
    "server is running and that you are connecting to the correct RPC port.\n"};
const CommandResult noCli{true, 127, "sh: 1: /opt/ltc/litecoin-cli: not found\n"};

// One branch of the check: what the node answers, the stall limit, and what the run shows.
struct SyncCase {
    const char* name;
    CommandResult info;
    CommandResult peerCount;
    const char* stallLimit;
    const char* standingStatus;  // what the status says while the run goes on, or at its end
    const char* lastRun;         // the blockcounter's stamp; empty while the run goes on
    const char* reading = "1040\r\n";
    std::int64_t endsByMs = 0;  // the latest the run may end, counted from its start
};
void PrintTo(const SyncCase& c, std::ostream* os) {
    *os << c.name;
}
}  // namespace

// The blockcounter with the copy's sync-check scripts, each answered as given.
class SyncChecked : public Blockcounter {
  protected:
    void answers(const CommandResult& info, const CommandResult& peerCount, const char* stallLimit) {
        h.platform.files[chainInfoScript] = "call coin-cli.exe getblockchaininfo\r\n";
        h.platform.files[peerScript] = "call coin-cli.exe getconnectioncount\r\n";
        h.platform.folders.insert("C:\\PD\\LOGS");
        h.platform.wallClock = [this] { return runStart + h.clock.nowMs() / 1000; };
        h.platform.commandResults = {{"RUN-BLOCKCHAININFO", info}, {"RUN-CONNECTIONCOUNT", peerCount}};
        h.put("STALL_LIMIT_TEXTBOX", stallLimit);
    }
};

template <typename Case>
std::string nameOf(const ::testing::TestParamInfo<Case>& info) {
    std::string name;
    for (char ch : std::string(info.param.name))
        if (std::isalnum(static_cast<unsigned char>(ch))) name += ch;
    return name;
}

class SyncCheckBranches : public SyncChecked, public ::testing::WithParamInterface<SyncCase> {
  protected:
    SyncCheckBranches() { answers(GetParam().info, GetParam().peerCount, GetParam().stallLimit); }
};

TEST_P(SyncCheckBranches, EqualReadingsEndTheRunOnlyAsTheNodeAnswers) {
    const auto& c = GetParam();
    readings = {c.reading};
    auto& w = open();
    std::int64_t endedAt = 0;
    w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.observe([&](const Element&) { endedAt = h.clock.nowMs(); });
    w.blockcounter.startFromPipeline();
    run(10 * 60'000);
    if (c.endsByMs) {
        EXPECT_LE(endedAt, c.endsByMs);
    }
    const bool ended = *c.lastRun != '\0';
    EXPECT_EQ(w.TASK_9_MAIN_TIMER.enabled(), ended);
    EXPECT_EQ(anyPollStageRuns(w), !ended);
    if (ended) {
        EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), c.lastRun);
        EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), c.lastRun);
        const bool success = std::string_view(c.lastRun) == "!!! COMPLETED SUCCESSFULLY !!!";
        EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), success ? colour::green : colour::red);
        EXPECT_EQ(w.runFault(), success ? "" : c.lastRun);
        EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), c.standingStatus);
    } else {
        // Nothing stopped: the status keeps saying why between polls, and the polls go on.
        EXPECT_TRUE(saw(c.standingStatus));
        EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), c.standingStatus);
        EXPECT_GE(polls.size(), 20u);
        EXPECT_EQ(w.runFault(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blockcounter, SyncCheckBranches,
    ::testing::Values(
        SyncCase{"healthy", chainInfo(1040, 1040, false), peers(8), "00:30:00",
                 "!!! BLOCKCOUNTER FINISHED !!!", "!!! COMPLETED SUCCESSFULLY !!!"},
        SyncCase{"healthy behind the command echo", afterEcho(chainInfo(1040, 1040, false)),
                 afterEcho(peers(8)), "00:30:00", "!!! BLOCKCOUNTER FINISHED !!!",
                 "!!! COMPLETED SUCCESSFULLY !!!"},
        SyncCase{"behind", chainInfo(1040, 1300, true), peers(8), "00:30:00",
                 "!!! NODE BEHIND - 1040 OF 1300 !!!", ""},
        SyncCase{"still in its initial download", chainInfo(1040, 1040, true), peers(8), "00:30:00",
                 "!!! NODE BEHIND - 1040 OF 1040 !!!", ""},
        SyncCase{"no peers", chainInfo(1040, 1300, true), peers(0), "00:30:00", "!!! NO PEERS !!!", ""},
        SyncCase{"no peers with a recent tip", chainInfo(1040, 1040, false), peers(0), "00:05:00",
                 "!!! NODE STUCK - 1040 OF 1040 - NO NEW BLOCK FOR 00:05:00 !!!", "!!! NODE STUCK !!!"},
        SyncCase{"junk",
                 {true, 0, "<html>proxy error</html>"},
                 peers(8),
                 "00:30:00",
                 "!!! SYNC CHECK - NO BLOCKS / HEADERS IN THE NODE'S ANSWER - POLLING ON !!!",
                 ""},
        SyncCase{"warming up", warmingUp, warmingUp, "00:30:00",
                 "!!! NODE WARMING UP (ERROR -28) - POLLING ON !!!", ""},
        SyncCase{
            "an rpcwhitelist user", forbidden, forbidden, "00:30:00",
            "!!! THE NODE REFUSES THE CREDENTIALS - CHECK RPCUSER / RPCPASSWORD IN THE CONF - POLLING ON !!!",
            ""},
        // A node that never gives a height, or a cli that never gives a number, ends by the
        // same rule, the clock counted from the run's start; a cli that is gone, at once.
        SyncCase{"height 0 with no peer", chainInfo(0, 0, true), peers(0), "00:05:00",
                 "!!! NODE STUCK - 0 OF 0 - NO NEW BLOCK FOR 00:05:00 !!!", "!!! NODE STUCK !!!", "0\r\n",
                 310'000},
        SyncCase{"a cli that never gives a number", noNode, noNode, "00:05:00",
                 "!!! NODE NOT ANSWERING - NOTHING ON ITS RPC PORT - NO NEW BLOCK FOR 00:05:00 !!!",
                 "!!! NODE NOT ANSWERING !!!", "", 310'000},
        SyncCase{"a wrong password to the limit", wrongPassword, wrongPassword, "00:05:00",
                 "!!! THE NODE REFUSES THE CREDENTIALS - NO NEW BLOCK FOR 00:05:00 !!!",
                 "!!! CREDENTIALS REFUSED !!!", "", 310'000},
        SyncCase{
            "the cli renamed after Save", noCli, noCli, "00:30:00",
            "!!! CLI MISSING - THE SHELL CANNOT FIND OR RUN THE CLI PROGRAM - CHECK THE CRYPTO SETTINGS !!!",
            "!!! CLI MISSING !!!", "", 14'000},
        SyncCase{"no headers in the answer",
                 {true, 0, "{\n  \"chain\": \"main\",\n  \"blocks\": 1040\n}\n"},
                 peers(8),
                 "00:05:00",
                 "!!! BLOCKCOUNTER FINISHED !!!",
                 "!!! COMPLETED SUCCESSFULLY !!!"},
        SyncCase{"stalled to the limit", chainInfo(1040, 1300, true), peers(8), "00:05:00",
                 "!!! NODE STUCK - 1040 OF 1300 - NO NEW BLOCK FOR 00:05:00 !!!", "!!! NODE STUCK !!!"},
        SyncCase{"no peers to the limit", chainInfo(1040, 1300, true), peers(0), "00:05:00",
                 "!!! NODE STUCK - 1040 OF 1300 - NO NEW BLOCK FOR 00:05:00 !!!", "!!! NODE STUCK !!!"},
        SyncCase{"old client", methodNotFound, methodNotFound, "00:05:00", "!!! BLOCKCOUNTER FINISHED !!!",
                 "!!! COMPLETED SUCCESSFULLY !!!"},
        SyncCase{"old client answering nothing",
                 chainInfo(1040, 1040, false),
                 {true, 0, ""},
                 "00:05:00",
                 "!!! BLOCKCOUNTER FINISHED !!!",
                 "!!! COMPLETED SUCCESSFULLY !!!"}),
    nameOf<SyncCase>);

// STOP, MANUAL FINISH, the override, the next run's start and the window's close each drop a
// question still out to the node by cancelling it: dropping it otherwise would hold the
// program until it ends.
struct CancelCase {
    const char* name;
    std::function<void(MainWindow&)> cancel;
};
class QuestionOut : public SyncChecked, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(QuestionOut, CancellingTheCheckNeverWaitsForIt) {
    answers(chainInfo(1040, 1300, true), peers(8), "00:30:00");
    h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
    h.put("AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1");
    h.platform.commandsWait = true;
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(13'000);  // the first poll's reading is in, its question out
    ASSERT_NE(h.platform.launched().back().find("RUN-BLOCKCHAININFO"), std::string::npos);
    GetParam().cancel(w);
    h.advance(2'000);
    ASSERT_EQ(h.platform.cancelled.size(), 1u);
    EXPECT_NE(h.platform.cancelled[0].find("RUN-BLOCKCHAININFO"), std::string::npos);
    EXPECT_TRUE(h.platform.droppedWhileRunning.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Blockcounter, QuestionOut,
    ::testing::Values(
        CancelCase{"STOP", [](MainWindow& w) { ASSERT_TRUE(w.START_STOP_TIMER_BUTTON.click()); }},
        CancelCase{"MANUAL FINISH", [](MainWindow& w) { ASSERT_TRUE(w.FINISH_BLOCKCOUNTER_BUTTON.click()); }},
        CancelCase{"the override", [](MainWindow& w) { w.OVERRIDE_TIME_LEFT = TimeOfDay(1); }},
        CancelCase{"the next run", [](MainWindow& w) { w.blockcounter.startFromPipeline(); }},
        CancelCase{"closing the window", [](MainWindow& w) { w.close(); }}),
    nameOf<CancelCase>);

// Peers coming and going while the height rises are no stall: the clock follows the height.
TEST_F(SyncChecked, PeersFlappingWhileTheHeightRisesNeverEndTheRunAsStuck) {
    answers(chainInfo(1000, 1300, true), peers(8), "00:01:00");
    // The network is on for 20 s, off for 20 s; while on, the node gets two blocks a second.
    const auto on = [](std::int64_t ms) { return ms / 20'000 % 2 == 0; };
    const auto heightAt = [&on](std::int64_t ms) {
        long long height = 1000;
        for (std::int64_t t = 0; t < ms; t += 1000) height += on(t) ? 2 : 0;
        return std::min(height, 1300LL);
    };
    readingAt = [&](std::int64_t ms) { return std::to_string(heightAt(ms)) + "\r\n"; };
    auto& w = open();
    w.CURRENT_BLOCK_TEXTBOX.observe([&](const Element&) {
        const auto now = h.clock.nowMs();
        const auto height = static_cast<int>(heightAt(now));
        h.platform.commandResults = {{"RUN-BLOCKCHAININFO", chainInfo(height, 1300, height < 1300)},
                                     {"RUN-CONNECTIONCOUNT", peers(on(now) ? 8 : 0)}};
    });
    w.blockcounter.startFromPipeline();
    run(20 * 60'000);
    EXPECT_TRUE(saw("!!! NO PEERS !!!"));
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "1300\r\n");
    EXPECT_EQ(w.runFault(), "");
}

// The node's own answer is a height as well: when the block counts stood through the verify
// and the triple check but the node has moved on by the time it is asked (its chain was
// reorganised, and the new blocks came in meanwhile), that is no stall.
TEST_F(SyncChecked, ANodeThatMovedOnSinceTheLastReadingIsNoStall) {
    answers(chainInfo(1040, 1300, true), peers(8), "00:00:40");
    readings = {"1040\r\n", "1040\r\n", "1040\r\n", "1040\r\n", "1100\r\n", "1200\r\n", "1300\r\n"};
    auto& w = open();
    // Each question after a poll finds the node at the next poll's height.
    w.CURRENT_BLOCK_TEXTBOX.observe([&](const Element&) {
        const auto next = std::stoi(readings[std::min(polls.size(), readings.size() - 1)]);
        h.platform.commandResults = {{"RUN-BLOCKCHAININFO", chainInfo(next, 1300, next < 1300)},
                                     {"RUN-CONNECTIONCOUNT", peers(8)}};
    });
    w.blockcounter.startFromPipeline();
    run(10 * 60'000);
    ASSERT_GE(polls.size(), 4u);
    ASSERT_GE(polls[3], 40'000) << "the fourth reading came before the stall limit";
    EXPECT_TRUE(saw("!!! NODE BEHIND - 1100 OF 1300 !!!"));
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "1300\r\n");
}

// Whole runs of the copy: the start number is the last run's end only when that run ended
// cleanly with its node seen to stop; the end number is this run's own last reading.
TEST_F(Blockcounter, TheStartAndEndNumbersAreThisRunsOwnReadings) {
    for (auto [key, value] : {std::pair{"RUN_DAEMON_TICKBOX", "1"},
                              {"TASK_8_ENABLE_TICKBOX", "1"},
                              {"TASK_11_ENABLE_TICKBOX", "1"},
                              {"OVERRIDE_TIMER_ENABLE_TICKBOX", "1"},
                              {"USER_OVERRIDE_TIME_TEXTBOX", "00:02:00"}})
        h.put(key, value);
    h.platform.files[daemonScript] = "x";
    h.platform.files[cliStopScript] = "x";
    h.platform.running.clear();
    auto& w = h.start();
    struct Run {
        std::vector<std::string> readings;
        bool override;  // ends by the override: the node may have gone on past its last reading
        std::string before, after, downloaded;
    };
    const std::string noStart = "!!! UNKNOWN - NO BLOCK NUMBER BEFORE THIS RUN !!!";
    const Run runs[] = {
        {{"1000\r\n"},
         false,
         "!!! UNKNOWN - NO EARLIER RUN OF THIS COPY KEPT ITS END BLOCK !!!",
         "1000\r\n",
         noStart},
        {{"1500\r\n"}, false, "1000\r\n", "1500\r\n", "500"},
        {{"1600\r\n", "1800\r\n", "2000\r\n", "2100\r\n", "2200\r\n", "2300\r\n", "2400\r\n"},
         true,
         "1500\r\n",
         "2400\r\n",
         "900"},
        {{"2794\r\n"},
         false,
         "!!! UNKNOWN - THE LAST RUN DID NOT END WITH ITS NODE STOPPED AT A KNOWN BLOCK !!!",
         "2794\r\n",
         noStart},
    };
    for (const auto& r : runs) {
        SCOPED_TRACE(r.after);
        readings = r.readings;
        polls.clear();
        w.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setValue(r.override ? 1 : 0);
        ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
        run(4 * 60'000);
        EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! COMPLETED - FINISHED - DONE !!!");
        EXPECT_EQ(w.BLOCKCOUNT_LOG_START_TEXTBOX.text(), r.before);
        EXPECT_EQ(w.BLOCKCOUNT_LOG_END_TEXTBOX.text(), r.after);
        EXPECT_EQ(w.DOWNLOADED_BLOCKS_TEXTBOX.text(), r.downloaded);
        ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());  // back to START for the next run
    }
}

TEST_F(Blockcounter, AnOldClientIsToldOnceAndTheRunEndsAsBefore) {
    h.platform.files[chainInfoScript] = "x";
    h.platform.files[peerScript] = "x";
    h.platform.commandResults = {{"RUN-BLOCKCHAININFO", methodNotFound}};
    readings = {block};
    auto& w = open();
    w.blockcounter.startFromPipeline();
    run(70'000);
    const std::string told =
        "!!! SYNC CHECK OFF - THE CLI CANNOT ANSWER GETBLOCKCHAININFO / GETCONNECTIONCOUNT - FINISHING WHEN "
        "IDENTICAL AS BEFORE !!!";
    EXPECT_TRUE(saw(told));
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.toolTip(), told);
    ASSERT_EQ(polls.size(), 4u);
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    // Asked once, never again in this run.
    EXPECT_EQ(
        std::count_if(h.platform.launches.begin(), h.platform.launches.end(),
                      [](const auto& l) { return l.what.find("RUN-BLOCKCHAININFO") != std::string::npos; }),
        1);
}

TEST_F(Blockcounter, EachPollIsWrittenToTheRunsHistoryWithProgressInTheStatusTip) {
    h.platform.files[chainInfoScript] = "x";
    h.platform.files[peerScript] = "x";
    h.platform.files[history] = "time,height,headers,peers\n2026-12-01T00:00:00Z,1,2,3\n";  // an older run
    h.platform.wallClock = [this] { return runStart + h.clock.nowMs() / 1000; };
    readings = {"1000\r\n", "1100\r\n", "1200\r\n", "1300\r\n"};
    auto& w = open();
    int blocks = 1000;
    w.CURRENT_BLOCK_TEXTBOX.observe([&](const Element& e) {
        // The node's answer follows the block count just read.
        if (const auto n = std::atoi(e.text().c_str()); n > 0) blocks = n;
        h.platform.commandResults = {{"RUN-BLOCKCHAININFO", chainInfo(blocks, 1300, blocks < 1300)},
                                     {"RUN-CONNECTIONCOUNT", peers(8)}};
    });
    w.blockcounter.startFromPipeline();
    run(10'000 + 3'250 + 1'000);
    const auto first = parseSyncHistory(h.platform.files[history]);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].height, 1000);
    // Stamped by the platform's clock, after the poll that read the height.
    ASSERT_EQ(polls.size(), 1u);
    EXPECT_GE(first[0].unixSeconds - runStart, polls[0] / 1000);
    EXPECT_LE(first[0].unixSeconds - runStart, h.clock.nowMs() / 1000);
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.toolTip(), "HEIGHT 1000 OF 1300 - 80.00 % - 8 PEERS - ETA UNKNOWN");
    run(14'250);
    const auto two = parseSyncHistory(h.platform.files[history]);
    ASSERT_EQ(two.size(), 2u);
    // 200 blocks to go at the rate of the last 100, rounded up to the second.
    const auto took = two[1].unixSeconds - two[0].unixSeconds;
    const auto eta = TimeOfDay(static_cast<int>((200 * took + 99) / 100)).hhmmss();
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.toolTip(), "HEIGHT 1100 OF 1300 - 80.00 % - 8 PEERS - ETA " + eta);
    run(120'000);
    const auto& text = h.platform.files[history];
    EXPECT_TRUE(text.starts_with("time,height,headers,peers\n" + syncHistoryLine(first[0]) + "\n")) << text;
    const auto samples = parseSyncHistory(text);
    ASSERT_GE(samples.size(), 4u);
    EXPECT_EQ(samples.back().height, 1300);
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
}

}  // namespace pd::test
