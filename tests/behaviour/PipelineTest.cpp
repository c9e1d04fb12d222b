#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "Harness.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/PowerAutotimerWindow.hpp"
#include "settings/MailerCommands.hpp"

namespace pd::test {

namespace {

constexpr const char* home = "/home/tester/PD";

// A copy configured as the settings windows leave it, every optional stage cleared.
struct RunHarness : Harness {
    RunHarness() {
        put("PACEDECK_HOME_TEXTBOX", home);
        put("CRYPTO_NAME_TEXTBOX", "SIM");
        put("QT_NAME_TEXTBOX", "simcoin-qt");
        put("DAEMOND_NAME_TEXTBOX", "simcoind");
        put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "simcoin-cli");
        put("ALWAYS_ON_TOP_TICKBOX", "0");
        platform.folders = {home, std::string(home) + "/BATS", std::string(home) + "/REPORTS"};
    }
    MainWindow& w() { return main(); }
    // The node started by its script and stopped by the cli's.
    void nodeWithCliStop(std::string_view node) {
        put(node == "QT" ? "RUN_QT_TICKBOX" : "RUN_DAEMON_TICKBOX", "1");
        put("TASK_11_ENABLE_TICKBOX", "1");
        script(node == "QT" ? Script::RunQt : Script::RunDaemon);
        script(Script::RunCliStop);
    }
    void script(Script which) { platform.files[path(which)] = "exec true\n"; }
    std::string path(Script which) { return HomeLayout(app.profile(), home, app.exe()).script(which); }
    // The blockcounter counts to a finish when asked: the node runs and reads the same height.
    void counting(const char* countTime) {
        put("FINISH_WHEN_IDENTICAL_TICKBOX", "1");
        put("USER_COUNT_TIME_TEXTBOX", countTime);
        script(Script::RunBlockcounter);
        platform.files[HomeLayout(app.profile(), home, app.exe()).latestBlockcount()] = "100\n";
    }
    void pressRunButton() { ASSERT_TRUE(w().MULTILOADER_START_STOP_BUTTON.click()); }
    // The node as the process lights see it.
    void node(bool qt, bool daemon = false) {
        platform.running.clear();
        if (qt) platform.running.insert("simcoin-qt");
        if (daemon) platform.running.insert("simcoind");
        w().PROCESS_TEXTBOX_1.setBack(qt ? colour::green : colour::red);
        w().PROCESS_TEXTBOX_2.setBack(daemon ? colour::green : colour::red);
    }
    // The blockcounter's end: its light green and stage 9 started, in one step.
    void blockcounterEnds() {
        w().TASK_9_LIGHT.setBack(colour::green);
        w().TASK_9_MAIN_TIMER.start();
    }
    std::vector<int> runningStages() {
        std::vector<int> on;
        for (int n = 1; n <= 20; ++n)
            if (w().taskTimer(n).enabled()) on.push_back(n);
        return on;
    }
    std::string status() { return w().CURRENT_STATUS_LABEL.text(); }
};

}  // namespace

TEST(Pipeline, WithEveryOptionalStageClearedTheRunTakesEighteenTicksAndStartsNothing) {
    RunHarness h;
    h.start();
    h.pressRunButton();
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.text(), "STOP");
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.toolTip(), "STOP MULTILOADER");
    EXPECT_FALSE(h.w().AUTOSTART_START_BUTTON.enabled());

    const std::vector<std::pair<int, std::string>> seconds = {
        {1, "LOGGING - DATE / TIME / PC NAME"},
        {2, "SKIPPING KITT HEARTBEAT"},
        {3, "STARTING RUNTIME-TIMER"},
        {4, "SKIPPING START EMAIL"},
        {5, "BLOCKCHAIN FOLDER SIZE - BEFORE"},
        {6, "LOGGING START BLOCK NUMBER"},
        {7, "SKIPPING QT / DAEMON STARTUP"},
        {8, "SKIPPING BLOCKCOUNTER"},
        {10, "LOGGING END BLOCK NUMBER"},
        {11, "SKIPPING CLI-STOP REQUEST"},
        {12, "SKIPPING QT / DAEMON SHUTDOWN"},
        {13, "BLOCKCHAIN FOLDER SIZE - AFTER"},
        {14, "LOGGING END TIME"},
        {15, "LOGGING TOTAL RUNTIME"},
        {16, "CREATING END REPORT"},
        {17, "SKIPPING REPORT EMAIL"},
        {18, "SKIPPING KITT HEARTBEAT STOP"},
    };
    for (auto& [stage, status] : seconds) {
        h.advance(1000);
        SCOPED_TRACE("stage " + std::to_string(stage));
        EXPECT_EQ(h.status(), status);
        // Exactly one stage runs at a time: the next one, stage 9 being passed by.
        EXPECT_EQ(h.runningStages(), std::vector<int>{stage == 8 ? 10 : stage + 1});
    }
    h.advance(1000);
    EXPECT_EQ(h.status(), "!!! COMPLETED - FINISHED - DONE !!!");
    EXPECT_TRUE(h.runningStages().empty());
    EXPECT_TRUE(h.platform.launches.empty());

    const std::vector<Colour> lights = {
        colour::green, colour::red,   colour::green, colour::red, colour::green, colour::green, colour::red,
        colour::red,   colour::red,   colour::green, colour::red, colour::green, colour::green, colour::green,
        colour::green, colour::green, colour::red,   colour::red, colour::red};
    for (int n = 1; n <= 19; ++n)
        EXPECT_EQ(h.w().taskLight(n).back(), lights[n - 1]) << "TASK_" << n << "_LIGHT";
    EXPECT_EQ(h.w().KITT_START_BUTTON.text(), "START KITT");
    // Both folder measurements were taken (stages 5 and 13), each on its own timer.
    EXPECT_NE(h.w().BC_FOLDER_SIZE_BEFORE.text(), "!!! STILL TO RUN !!!");
    EXPECT_NE(h.w().BC_FOLDER_SIZE_AFTER.text(), "!!! STILL TO RUN !!!");
    EXPECT_FALSE(h.w().FOLDER_SIZER_BEFORE_TIMER.enabled());
    EXPECT_FALSE(h.w().FOLDER_SIZER_AFTER_TIMER.enabled());
    EXPECT_TRUE(h.w().RUNTIME_TIMER.enabled());
    // The run is over but the window stays open, the button still reading STOP.
    EXPECT_TRUE(h.app.running());
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.text(), "STOP");
    EXPECT_TRUE(h.w().END_LOG_BUTTON.enabled());
    EXPECT_FALSE(h.w().AUTOCLOSE_TIMER.enabled());
    h.advance(60'000);
    EXPECT_EQ(h.status(), "!!! COMPLETED - FINISHED - DONE !!!");
}

TEST(Pipeline, StageOneRecordsTimeDateAndComputerFromThePlatform) {
    RunHarness h;
    h.platform.time = "21:07:45";
    h.platform.date = "03/04/2027";
    h.platform.computer = "NODEBOX";
    h.start();
    h.pressRunButton();
    h.advance(1000);
    EXPECT_EQ(h.w().TASK_1_LIGHT.back(), colour::cyan);
    EXPECT_EQ(h.w().START_TIME_TEXTBOX.text(), "21:07:45");
    EXPECT_EQ(h.w().DATE_TEXTBOX.text(), "03/04/2027");
    EXPECT_EQ(h.w().COMPUTER_NAME, "NODEBOX");
    EXPECT_EQ(h.w().PC_NAME_TEXTBOX.text(), "PC Name = NODEBOX");
}

TEST(Pipeline, RunQtWithoutBlockcounterStartsTheNodeAndWaitsForBothLightsRed) {
    RunHarness h;
    h.nodeWithCliStop("QT");
    h.start();
    h.node(false);
    h.pressRunButton();
    h.advance(7000);
    EXPECT_EQ(h.status(), "RUNNING QT...");
    EXPECT_EQ(h.w().RUN_QT_OR_D_TEXTBOX.text(), "QT");
    EXPECT_EQ(h.w().TASK_7_LIGHT.back(), colour::green);
    ASSERT_EQ(h.platform.launches.size(), 1u);
    EXPECT_EQ(h.platform.launches[0].what, std::string(home) + "/BATS/DEMO-RUN-QT.sh");
    EXPECT_TRUE(h.platform.launches[0].script);
    EXPECT_EQ(h.platform.launches[0].style, WindowStyle::Hidden);
    h.node(true);

    h.advance(3000);  // stages 8, 10, 11
    EXPECT_EQ(h.status(), "SENDING CLI-STOP REQUEST...");
    EXPECT_EQ(h.w().TASK_11_LIGHT.back(), colour::cyan);
    ASSERT_EQ(h.platform.launched().size(), 2u);
    EXPECT_EQ(h.platform.launched()[1], std::string(home) + "/BATS/DEMO-RUN-CLI-STOP.sh");

    // The node takes its time: stage 12 looks again every second, up to its limit.
    h.advance(30'000);
    EXPECT_EQ(h.runningStages(), std::vector<int>{12});
    EXPECT_EQ(h.w().TASK_12_LIGHT.back(), colour::cyan);
    EXPECT_EQ(h.w().TASK_11_LIGHT.back(), colour::cyan);
    // The qt light red is not enough while the daemon light is green.
    h.node(false, true);
    h.advance(3000);
    EXPECT_EQ(h.runningStages(), std::vector<int>{12});
    h.node(false, false);
    h.advance(1000);
    EXPECT_EQ(h.status(), "!!! QT SHUTDOWN COMPLETE !!!");
    EXPECT_EQ(h.w().TASK_11_LIGHT.back(), colour::green);
    EXPECT_EQ(h.runningStages(), std::vector<int>{13});
    h.advance(1000);
    EXPECT_EQ(h.w().TASK_12_LIGHT.back(), colour::green);
    EXPECT_EQ(h.status(), "BLOCKCHAIN FOLDER SIZE - AFTER");
}

TEST(Pipeline, DaemonRunReportsItsOwnShutdown) {
    RunHarness h;
    h.nodeWithCliStop("DAEMON");
    h.start();
    h.node(false, true);
    h.pressRunButton();
    h.advance(7000);
    EXPECT_EQ(h.status(), "RUNNING DAEMON...");
    EXPECT_EQ(h.w().RUN_QT_OR_D_TEXTBOX.text(), "DAEMON");
    EXPECT_EQ(h.platform.launched().at(0), std::string(home) + "/BATS/DEMO-RUN-DAEMON.sh");
    h.advance(4000);
    EXPECT_EQ(h.runningStages(), std::vector<int>{12});
    h.node(false, false);
    h.advance(1000);
    EXPECT_EQ(h.status(), "!!! DAEMON SHUTDOWN COMPLETE !!!");
}

TEST(Pipeline, WithCliStopClearedTheShutdownWaitIsSkippedWhileTheNodeRuns) {
    RunHarness h;
    h.put("RUN_QT_TICKBOX", "1");
    h.script(Script::RunQt);
    h.start();
    h.pressRunButton();
    h.advance(7000);
    h.node(true);
    h.advance(4000);  // stages 8, 10, 11, 12
    EXPECT_EQ(h.status(), "SKIPPING QT / DAEMON SHUTDOWN");
    EXPECT_EQ(h.w().TASK_11_LIGHT.back(), colour::red);
    EXPECT_EQ(h.w().TASK_12_LIGHT.back(), colour::red);
    h.advance(1000);
    EXPECT_EQ(h.status(), "BLOCKCHAIN FOLDER SIZE - AFTER");
    EXPECT_EQ(h.w().TASK_12_LIGHT.back(), colour::green);
    EXPECT_EQ(h.w().PROCESS_TEXTBOX_1.back(), colour::green);
    EXPECT_EQ(h.platform.launched(), std::vector<std::string>{std::string(home) + "/BATS/DEMO-RUN-QT.sh"});
}

TEST(Pipeline, TheRunWaitsForTheBlockcounterAndGoesOnAtItsEndSignal) {
    RunHarness h;
    h.put("TASK_8_ENABLE_TICKBOX", "1");
    h.start();
    h.w().LAST_BLOCKCOUNT_TEXTBOX.setText("100\r\n");
    h.pressRunButton();
    h.advance(8000);
    EXPECT_EQ(h.status(), "RUNNING BLOCKCOUNTER...");
    EXPECT_EQ(h.w().TASK_8_LIGHT.back(), colour::pink);
    EXPECT_EQ(h.w().TASK_9_LIGHT.back(), colour::cyan);
    // While the blockcounter works no stage runs.
    EXPECT_TRUE(h.runningStages().empty());
    h.advance(600'000);
    EXPECT_TRUE(h.runningStages().empty());
    EXPECT_EQ(h.w().TASK_9_LIGHT.back(), colour::cyan);

    h.blockcounterEnds();
    h.advance(1000);
    EXPECT_EQ(h.status(), "!!! BLOCKCOUNTER ENDED !!!");
    EXPECT_EQ(h.w().TASK_9_LIGHT.back(), colour::green);
    EXPECT_EQ(h.w().TASK_10_LIGHT.back(), colour::cyan);
    // The light stays pink until the blockcounter itself colours it.
    EXPECT_EQ(h.w().TASK_8_LIGHT.back(), colour::pink);
    h.advance(1000);
    EXPECT_EQ(h.status(), "LOGGING END BLOCK NUMBER");
    // An end number is this run's own reading: the blockcounter read none here.
    EXPECT_EQ(h.w().BLOCKCOUNT_LOG_END_TEXTBOX.text(), "!!! UNKNOWN - NO BLOCK NUMBER READ IN THIS RUN !!!");
}

TEST(Pipeline, StageNineStartedWithoutTheGreenLightKeepsLookingUntilItTurnsGreen) {
    RunHarness h;
    h.start();
    h.w().TASK_9_MAIN_TIMER.start();
    h.advance(3000);
    EXPECT_EQ(h.status(), "SKIPPED BLOCKCOUNTER");
    EXPECT_EQ(h.w().TASK_9_LIGHT.back(), colour::red);
    EXPECT_EQ(h.runningStages(), std::vector<int>{9});
    h.w().TASK_9_LIGHT.setBack(colour::green);
    h.advance(1000);
    EXPECT_EQ(h.status(), "!!! BLOCKCOUNTER ENDED !!!");
    EXPECT_EQ(h.runningStages(), std::vector<int>{10});
}

TEST(Pipeline, StopDuringTheBlockcounterWaitThenStartBeginsANewRunAtStageOne) {
    RunHarness h;
    h.put("TASK_8_ENABLE_TICKBOX", "1");
    h.start();
    h.pressRunButton();
    h.advance(20'000);
    ASSERT_EQ(h.w().TASK_8_LIGHT.back(), colour::pink);
    h.pressRunButton();
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.text(), "START");
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.toolTip(), "START MULTILOADER");
    EXPECT_TRUE(h.w().AUTOSTART_START_BUTTON.enabled());
    EXPECT_TRUE(h.runningStages().empty());
    // Stopping resets nothing: the lights and the run-time clock go on as they were.
    EXPECT_EQ(h.w().TASK_8_LIGHT.back(), colour::pink);
    EXPECT_TRUE(h.w().RUNTIME_TIMER.enabled());

    h.platform.time = "13:30:00";
    h.pressRunButton();
    h.advance(1000);
    EXPECT_EQ(h.status(), "LOGGING - DATE / TIME / PC NAME");
    EXPECT_EQ(h.w().START_TIME_TEXTBOX.text(), "13:30:00");
    EXPECT_EQ(h.runningStages(), std::vector<int>{2});
    h.advance(7000);
    EXPECT_EQ(h.status(), "RUNNING BLOCKCOUNTER...");
    EXPECT_EQ(h.w().TASK_9_LIGHT.back(), colour::cyan);
    h.blockcounterEnds();
    h.advance(2000);
    EXPECT_EQ(h.status(), "LOGGING END BLOCK NUMBER");
}

TEST(Pipeline, StopWhileWaitingForTheNodeEndsTheWait) {
    RunHarness h;
    h.nodeWithCliStop("QT");
    h.start();
    h.node(true);
    h.pressRunButton();
    h.advance(60'000);
    ASSERT_EQ(h.runningStages(), std::vector<int>{12});
    h.pressRunButton();
    EXPECT_TRUE(h.runningStages().empty());
    h.node(false);
    h.advance(10'000);
    EXPECT_TRUE(h.runningStages().empty());
    EXPECT_EQ(h.w().TASK_13_LIGHT.back(), colour::black);
}

TEST(Pipeline, StagesSixAndTenTakeOnlyNumbersTheyKnowAsRawText) {
    RunHarness h;
    // The last run ended cleanly with its node stopped here; this one reads nothing.
    h.put("NODE_STOPPED_AT_BLOCK", "  812\r\n");
    h.start();
    h.w().LAST_BLOCKCOUNT_TEXTBOX.setText("900\r\n");  // a reading left in the window is no start
    h.pressRunButton();
    h.advance(6000);
    EXPECT_EQ(h.w().BLOCKCOUNT_LOG_START_TEXTBOX.text(), "  812\r\n");
    EXPECT_EQ(h.stored("NODE_STOPPED_AT_BLOCK"), "");  // the node is about to move
    h.advance(3000);
    EXPECT_EQ(h.w().BLOCKCOUNT_LOG_END_TEXTBOX.text(), "!!! UNKNOWN - NO BLOCK NUMBER READ IN THIS RUN !!!");
    h.advance(6000);
    EXPECT_EQ(h.w().DOWNLOADED_BLOCKS_TEXTBOX.text(), "!!! UNKNOWN - NO BLOCK NUMBER AFTER THIS RUN !!!");
}

TEST(Pipeline, HeartbeatAndEmailStagesRunWhenTicked) {
    RunHarness h;
    for (auto key : {"TASK_2_ENABLE_TICKBOX", "TASK_4_ENABLE_TICKBOX", "TASK_17_ENABLE_TICKBOX",
                     "TASK_18_ENABLE_TICKBOX"})
        h.put(key, "1");
    h.script(Script::StartEmail);
    h.script(Script::EndReportEmail);
    h.start();
    h.pressRunButton();
    h.advance(2000);
    EXPECT_EQ(h.status(), "STARTING KITT HEARTBEAT");
    EXPECT_EQ(h.w().TASK_2_LIGHT.back(), colour::green);
    h.advance(2000);
    EXPECT_EQ(h.status(), "SENDING START EMAIL");
    EXPECT_EQ(h.w().TASK_4_LIGHT.back(), colour::green);
    EXPECT_EQ(h.platform.launched(),
              std::vector<std::string>{std::string(home) + "/BATS/DEMO-START-EMAIL.sh"});
    h.advance(12'000);  // to stage 17
    EXPECT_EQ(h.status(), "SENDING REPORT EMAIL");
    EXPECT_EQ(h.w().TASK_16_LIGHT.back(), colour::green);
    EXPECT_EQ(h.w().TASK_17_LIGHT.back(), colour::green);
    EXPECT_EQ(h.platform.launched().back(), std::string(home) + "/BATS/DEMO-END-REPORT-EMAIL.sh");
    h.advance(1000);
    EXPECT_EQ(h.status(), "STOPPING KITT HEARTBEAT");
    EXPECT_EQ(h.w().TASK_18_LIGHT.back(), colour::green);
}

// A fault's alert is the saved report mail with the fault in its subject, written by the run;
// when it cannot be made the report itself still goes, and the status says why.
TEST(Pipeline, AFaultsReportIsMailedAsTheAlertOrElseAsThePlainReport) {
    const std::string saved = "exec mail -u \"PACEDECK - SIM - COMPLETED - LOG REPORT\" -o message-file=x";
    for (const auto& [command, alertUnwritable, status] :
         std::vector<std::tuple<std::string, bool, std::string>>{
             {saved, false, "SENDING ALERT EMAIL - NODE STUCK"},
             {"", false,
              "!!! THE SAVED REPORT EMAIL CANNOT CARRY AN ALERT - SAVE THE EMAIL SETTINGS - SENDING THE "
              "REPORT EMAIL !!!"},
             {saved, true,
              "!!! ALERT EMAIL SCRIPT NOT WRITTEN - cannot write "
              "/home/tester/PD/BATS/DEMO-STUCK-ALERT-EMAIL.sh - SENDING THE REPORT EMAIL !!!"}}) {
        SCOPED_TRACE(status);
        RunHarness h;
        h.put("TASK_17_ENABLE_TICKBOX", "1");
        h.put("EMAIL_OUTPUT_END_COMMAND_TEXTBOX", command);
        h.script(Script::EndReportEmail);
        if (alertUnwritable) h.platform.unwritable.insert(h.path(Script::StuckAlertEmail));
        h.start();
        h.pressRunButton();
        h.w().noteRunFault("!!! NODE STUCK !!!");
        h.advance(16'000);  // to stage 17
        EXPECT_EQ(h.status(), status);
        EXPECT_EQ(h.w().TASK_17_LIGHT.back(), colour::green);
        const bool alert = status.starts_with("SENDING");
        EXPECT_EQ(h.platform.launched().back(),
                  h.path(alert ? Script::StuckAlertEmail : Script::EndReportEmail));
        if (alert) {
            EXPECT_EQ(
                h.platform.files.at(h.path(Script::StuckAlertEmail)),
                "exec mail -u \"PACEDECK - SIM - ALERT - NODE STUCK - LOG REPORT\" -o message-file=x\n");
        }
    }
}

TEST(Pipeline, AMissingScriptIsNamedInTheStatusAndTheRunGoesOn) {
    RunHarness h;
    h.put("TASK_4_ENABLE_TICKBOX", "1");
    h.put("RUN_QT_TICKBOX", "1");
    h.start();
    h.pressRunButton();
    h.advance(4000);
    EXPECT_EQ(h.status(),
              "!!! SCRIPT MISSING - " + std::string(home) + "/BATS/DEMO-START-EMAIL.sh - GOING ON !!!");
    EXPECT_EQ(h.w().TASK_4_LIGHT.back(), colour::red);
    EXPECT_EQ(h.runningStages(), std::vector<int>{5});
    h.advance(3000);
    EXPECT_EQ(h.status(),
              "!!! SCRIPT MISSING - " + std::string(home) + "/BATS/DEMO-RUN-QT.sh - GOING ON !!!");
    EXPECT_EQ(h.w().TASK_7_LIGHT.back(), colour::red);
    EXPECT_EQ(h.runningStages(), std::vector<int>{8});
    EXPECT_TRUE(h.platform.launches.empty());
}

TEST(Pipeline, AutocloseEndsTheRunByClosingTheWindowElevenSecondsLater) {
    RunHarness h;
    h.put("TASK_19_ENABLE_TICKBOX", "1");
    h.start();
    h.pressRunButton();
    h.advance(18'000);
    EXPECT_EQ(h.status(), "!!! AUTOCLOSE STARTING !!!");
    EXPECT_EQ(h.w().AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.text(), "AUTOCLOSE");
    EXPECT_EQ(h.w().AUTOTIMER_ACTION_TEXTBOX.text(), "");
    EXPECT_EQ(h.w().TASK_19_LIGHT.back(), colour::green);
    EXPECT_TRUE(h.w().AUTOCLOSE_START_BUTTON.enabled());
    EXPECT_TRUE(h.w().AUTOCLOSE_TIMER.enabled());
    EXPECT_TRUE(h.runningStages().empty());
    h.advance(10'000);
    EXPECT_TRUE(h.app.running());
    h.advance(1000);
    EXPECT_FALSE(h.app.running());
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! COMPLETED SUCCESSFULLY !!!");
}

TEST(Pipeline, PowerAutotimerIsTheFinalActionWhenChosen) {
    RunHarness h;
    h.put("TASK_20_ENABLE_TICKBOX", "1");
    h.put("AUTOTIMER_ACTION_TEXTBOX", "SHUTDOWN PC");
    h.start();
    h.pressRunButton();
    h.advance(18'000);
    EXPECT_EQ(h.status(), "!!! RUNNING POWER AUTOTIMER !!!");
    EXPECT_EQ(h.w().AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.text(), "POWER AUTOTIMER");
    EXPECT_EQ(h.w().AUTOTIMER_ACTION_TEXTBOX.text(), "SHUTDOWN PC");
    EXPECT_EQ(h.w().TASK_19_LIGHT.back(), colour::green);
    EXPECT_FALSE(h.w().AUTOCLOSE_TIMER.enabled());
    EXPECT_TRUE(h.runningStages().empty());
    auto* power = h.app.find<PowerAutotimerWindow>();
    ASSERT_NE(power, nullptr);
    EXPECT_FALSE(power->modal());
    h.advance(1000 + CommandQueue::pollMs);  // a countdown of 00:00:00 acts on its first tick
    ASSERT_FALSE(h.platform.launches.empty());
    EXPECT_EQ(h.platform.launches.back().what, h.app.profile().powerCommands[0]);
    EXPECT_EQ(h.app.find<PowerAutotimerWindow>(), nullptr);
}

TEST(Pipeline, AutostartRunsTheWholeChain) {
    RunHarness h;
    h.put("AUTOSTART_TICKBOX", "1");
    h.start();
    h.advance(11'000);
    EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.text(), "STOP");
    h.advance(18'000);
    EXPECT_EQ(h.status(), "!!! COMPLETED - FINISHED - DONE !!!");
}

// Every outcome through every final action: the stamp, stored once at the run's end (the
// autoclose saves it again as it closes), the e-mail that carried the report, and the
// report's last-run lines telling this run, not the one before.
TEST(Pipeline, EveryEndingStampsMailsAndReportsTheOutcomeOfThisRun) {
    struct Case {
        const char* name;
        std::function<void(RunHarness&)> arrange;
        std::function<void(RunHarness&)> during;  // one minute into the run
        std::string stamp;
        bool counted = false;  // the blockcounter's stamp is the run's
        std::string reported = stamp;
    };
    const auto counting = [](RunHarness& h) {
        h.put("TASK_8_ENABLE_TICKBOX", "1");
        h.put("FINISH_WHEN_IDENTICAL_TICKBOX", "1");
        h.put("USER_COUNT_TIME_TEXTBOX", "00:00:30");
    };
    const std::vector<Case> cases = {
        {"success", nullptr, nullptr, "!!! COMPLETED SUCCESSFULLY !!!"},
        {"report not written",
         [](RunHarness& h) { h.platform.unwritable = {std::string(home) + "/REPORTS/DEMO-END-REPORT.LOG"}; },
         nullptr, "!!! END REPORT NOT WRITTEN !!!"},
        {"node gone", counting, nullptr, "!!! QT / DAEMON ERROR !!!", true},
        {"override",
         [&](RunHarness& h) {
             counting(h);
             h.put("USER_COUNT_TIME_TEXTBOX", "01:00:00");
             h.put("OVERRIDE_TIMER_ENABLE_TICKBOX", "1");
             h.put("AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1");
             h.put("USER_OVERRIDE_TIME_TEXTBOX", "00:00:20");
         },
         nullptr, "!!! OVERRIDE TIMER ACTIVATED !!!", true},
        {"manual finish",
         [&](RunHarness& h) {
             counting(h);
             h.put("USER_COUNT_TIME_TEXTBOX", "01:00:00");
         },
         [](RunHarness& h) { ASSERT_TRUE(h.w().FINISH_BLOCKCOUNTER_BUTTON.click()); },
         "!!! MANUAL FINISH !!!", true},
        {"no cli-stop script", [](RunHarness& h) { h.put("TASK_11_ENABLE_TICKBOX", "1"); }, nullptr,
         "!!! NODE NOT SEEN TO STOP !!!"},
        {"no start-mail script", [](RunHarness& h) { h.put("TASK_4_ENABLE_TICKBOX", "1"); }, nullptr,
         "!!! START EMAIL NOT SENT !!!"},
        {"no node script", [](RunHarness& h) { h.put("RUN_QT_TICKBOX", "1"); }, nullptr,
         "!!! QT / DAEMON NOT STARTED !!!"},
        {"no report-mail script",
         [](RunHarness& h) { h.platform.files.erase(h.path(Script::EndReportEmail)); }, nullptr,
         "!!! REPORT EMAIL NOT SENT !!!", false, "!!! COMPLETED SUCCESSFULLY !!!"},
    };
    MailerValues mail;
    mail.crypto = "SIM";
    mail.home = home;
    mail.exe = "DEMO";
    mail.attachReport = true;
    const auto saved = buildMailerCommands(posixProfile("/home/tester"), mail).endCommand;
    for (const char* ending : {"TASK_19_ENABLE_TICKBOX", "TASK_20_ENABLE_TICKBOX", ""})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " - " + ending);
            RunHarness h;
            h.put("MULTILOADER_LAST_RUN_TEXTBOX", "!!! NODE STUCK !!!");  // the run before
            h.put("BLOCKCOUNTER_LAST_RUN", "!!! NODE STUCK !!!");
            h.put("TASK_17_ENABLE_TICKBOX", "1");
            h.put("EMAIL_OUTPUT_END_COMMAND_TEXTBOX", saved);
            h.script(Script::EndReportEmail);
            if (*ending) h.put(ending, "1");
            h.put("AUTOTIMER_ACTION_TEXTBOX", "SHUTDOWN PC");
            if (c.arrange) c.arrange(h);
            h.start();
            h.store.clearLog();
            h.pressRunButton();
            h.advance(60'000);
            if (c.during) c.during(h);
            h.advance(60'000);

            const bool autoclose = ending == std::string("TASK_19_ENABLE_TICKBOX");
            EXPECT_EQ(h.app.running(), !autoclose);
            EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), c.stamp);
            const auto keys = h.store.writtenKeys("DEMO");
            EXPECT_EQ(std::count(keys.begin(), keys.end(), "MULTILOADER_LAST_RUN_TEXTBOX"),
                      autoclose ? 2 : 1);
            const auto launched = h.platform.launched();
            auto ran = [&](Script s) { return std::count(launched.begin(), launched.end(), h.path(s)) == 1; };
            const bool success = c.stamp == "!!! COMPLETED SUCCESSFULLY !!!";
            EXPECT_EQ(ran(Script::EndReportEmail), success);
            EXPECT_EQ(ran(Script::StuckAlertEmail),
                      !success && c.name != std::string("no report-mail script"));
            if (ran(Script::StuckAlertEmail)) {
                const auto& alert = h.platform.files.at(h.path(Script::StuckAlertEmail));
                const auto name = c.stamp.substr(4, c.stamp.size() - 8);
                EXPECT_NE(alert.find(" -u \"PACEDECK - SIM - ALERT - " + name + " - LOG REPORT\" "),
                          std::string::npos);
                // Without this run's report none goes, never an older one: the subject is the message.
                const bool unwritten = c.name == std::string("report not written");
                EXPECT_EQ(alert.find("END-REPORT.LOG") == std::string::npos, unwritten);
                EXPECT_EQ(alert.find(" -m \"PACEDECK - SIM - ALERT - ") != std::string::npos, unwritten);
            }
            EXPECT_EQ(std::count(launched.begin(), launched.end(), h.app.profile().powerCommands[0]),
                      ending == std::string("TASK_20_ENABLE_TICKBOX"));
            if (c.name != std::string("report not written")) {
                const auto& report = h.platform.files.at(std::string(home) + "/REPORTS/DEMO-END-REPORT.LOG");
                EXPECT_NE(report.find("\nMULTILOADER LAST RUN: " + c.reported + "\n"), std::string::npos);
                EXPECT_NE(
                    report.find("\nBLOCKCOUNTER LAST RUN: " + (c.counted ? c.stamp : "!!! SKIPPED !!!")),
                    std::string::npos);
            }
        }
}

TEST(Pipeline, StageTwelveNeverWaitsForANodeItCannotSeeOrDidNotAskToStop) {
    struct Case {
        const char* name;
        std::function<void(RunHarness&)> arrange;
        std::string status;           // at stage 12; empty: the node is seen to stop
        std::string_view fault = {};  // the run's fault before its stop: the cli never reached the node
    };
    const std::vector<Case> cases = {
        {"cli-stop script missing",
         [](RunHarness& h) {
             h.platform.files.erase(HomeLayout(h.app.profile(), home, "DEMO").script(Script::RunCliStop));
         },
         "!!! NODE NOT ASKED TO STOP - THE CLI-STOP SCRIPT DID NOT START - GOING ON !!!"},
        {"no node names",
         [](RunHarness& h) {
             h.put("RUN_DAEMON_TICKBOX", "0");  // a run of an unnamed program ends at its start
             h.put("QT_NAME_TEXTBOX", "");
             h.put("DAEMOND_NAME_TEXTBOX", "");
         },
         "!!! QT / DAEMON PROCESS NAME NOT SET - CANNOT SEE THE NODE STOP - GOING ON !!!"},
        // Only the daemon is named: the nameless qt light counts as stopped.
        {"daemon named alone", [](RunHarness& h) { h.put("QT_NAME_TEXTBOX", ""); }, ""},
        {"cli missing", [](RunHarness&) {},
         "!!! NODE NOT ASKED TO STOP - THE CLI CANNOT REACH IT - THE NODE RUNS ON - GOING ON !!!",
         "!!! CLI MISSING !!!"},
        {"credentials refused", [](RunHarness&) {},
         "!!! NODE NOT ASKED TO STOP - THE CLI CANNOT REACH IT - THE NODE RUNS ON - GOING ON !!!",
         "!!! CREDENTIALS REFUSED !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.nodeWithCliStop("DAEMON");
        c.arrange(h);
        h.start();
        h.platform.running = {"simcoind"};
        h.pressRunButton();
        if (!c.fault.empty()) h.w().noteRunFault(c.fault);
        h.advance(11'000);  // stage 12's first tick, one after the stop was sent (or not)
        if (c.status.empty()) {
            ASSERT_EQ(h.runningStages(), std::vector<int>{12});
            h.platform.running.clear();
            h.advance(1'000);
            EXPECT_EQ(h.status(), "!!! DAEMON SHUTDOWN COMPLETE !!!");
            h.advance(60'000);
            EXPECT_EQ(h.w().MULTILOADER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
        } else {
            EXPECT_EQ(h.status(), c.status);
            EXPECT_EQ(h.w().TASK_12_LIGHT.back(), colour::red);
            EXPECT_EQ(h.runningStages(), std::vector<int>{13});
        }
        h.advance(60'000);
        EXPECT_EQ(h.status(), "!!! COMPLETED - FINISHED - DONE !!!");
        if (!c.fault.empty()) {
            EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), c.fault);
        }
    }
}

TEST(Pipeline, TheBlockcounterPollsANodeNamedAloneAndSaysWhenNoneIsNamed) {
    for (bool named : {true, false}) {
        RunHarness h;
        h.put("QT_NAME_TEXTBOX", "");
        if (!named) h.put("DAEMOND_NAME_TEXTBOX", "");
        h.put("USER_COUNT_TIME_TEXTBOX", "00:00:05");
        h.script(Script::RunBlockcounter);
        h.platform.running = {"simcoind"};
        auto& w = h.start();
        w.blockcounter.startFromPipeline();
        h.advance(5'000);
        EXPECT_EQ(h.status(), named ? "!!! BLOCKCOUNTER - AUTO GETBLOCKCOUNT !!!"
                                    : "!!! BLOCKCOUNTER - QT / DAEMON PROCESS NAME NOT SET - CANNOT SEE THE "
                                      "NODE, NOT POLLING !!!");
        EXPECT_EQ(w.GETBLOCKCOUNT_TIMER.enabled(), named);
    }
}

// The endings before the last stage: STOP, EXIT and the close box (the end of the session
// closes it too) cut a run in progress short and say so, and a node program to run without a
// name ends the run at its start; after a run has ended they leave its outcome as the stamp.
TEST(Pipeline, ARunCutShortIsStampedByHowItEndedAndAnEndedRunKeepsItsOutcome) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> settings;
        std::function<void(RunHarness&)> end;
        std::string stamp;
    };
    const auto stop = [](RunHarness& h) { h.pressRunButton(); };
    const auto exit = [](RunHarness& h) { ASSERT_TRUE(h.w().EXIT_BUTTON.click()); };
    const auto closeBox = [](RunHarness& h) { h.w().close(); };
    const decltype(Case::settings) counting = {{"TASK_8_ENABLE_TICKBOX", "1"}};
    for (const auto& c :
         {Case{"STOP in a run", counting, stop, "!!! MANUAL STOP !!!"},
          Case{"EXIT in a run", counting, exit, "!!! MANUAL EXIT !!!"},
          Case{"close box in a run", counting, closeBox, "!!! RUN INTERRUPTED - WINDOW CLOSED !!!"},
          Case{"STOP after a run", {}, stop, "!!! START EMAIL NOT SENT !!!"},
          Case{"EXIT after a run", {}, exit, "!!! START EMAIL NOT SENT !!!"},
          Case{"close box after a run", {}, closeBox, "!!! START EMAIL NOT SENT !!!"},
          Case{"QT", {{"RUN_QT_TICKBOX", "1"}, {"QT_NAME_TEXTBOX", ""}}, nullptr, ""},
          Case{"DAEMON", {{"RUN_DAEMON_TICKBOX", "1"}, {"DAEMOND_NAME_TEXTBOX", ""}}, nullptr, ""}}) {
        SCOPED_TRACE(c.name);
        RunHarness h;
        h.put("MULTILOADER_LAST_RUN_TEXTBOX", "!!! COMPLETED SUCCESSFULLY !!!");
        h.put("TASK_4_ENABLE_TICKBOX", "1");  // no script: the run's fault
        for (auto [key, value] : c.settings) h.put(key, value);
        h.start();
        h.pressRunButton();
        h.advance(30'000);
        if (c.end) {
            c.end(h);
        } else {
            const std::string node = c.name;
            EXPECT_EQ(h.status(), "!!! RUN " + node + " IS TICKED BUT NO " + node +
                                      " PROGRAM IS NAMED - NAME IT IN THE CRYPTO SETTINGS - RUN ENDED !!!");
            EXPECT_EQ(h.runningStages(), std::vector<int>{});
            EXPECT_EQ(h.w().MULTILOADER_START_STOP_BUTTON.text(), "START");
        }
        const auto stamp = c.end ? c.stamp : "!!! " + std::string(c.name) + " PROGRAM NOT NAMED !!!";
        EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), stamp);
        // Once stamped, no later ending of the window stamps the run again.
        if (h.app.running()) h.w().close();
        EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), stamp);
    }
}

// A blockcounter started by its own START after a run carries that run's end on as a run of
// its own: nothing of the earlier run's fault is told as its outcome.
TEST(Pipeline, ABlockcounterStartedByItsOwnStartCarriesNoEarlierFault) {
    RunHarness h;
    h.put("TASK_11_ENABLE_TICKBOX", "1");  // no cli-stop script: the first run's fault
    h.counting("00:00:05");
    h.platform.running = {"simcoin-qt"};
    auto& w = h.start();
    h.pressRunButton();
    h.advance(30'000);
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! NODE NOT SEEN TO STOP !!!");
    w.TASK_11_ENABLE_TICKBOX.setValue(0);
    w.TASK_19_ENABLE_TICKBOX.setValue(1);
    ASSERT_TRUE(w.START_STOP_TIMER_BUTTON.click());
    h.advance(120'000);
    EXPECT_FALSE(h.app.running());
    EXPECT_EQ(h.stored("BLOCKCOUNTER_LAST_RUN"), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! COMPLETED SUCCESSFULLY !!!");
}

TEST(Pipeline, StageTwelveWaitsForThisCopysNodeByNameAndPidAndAtMostTenMinutes) {
    // Another copy's node of the program runs on beside this copy's and holds no run; this
    // copy's node that never stops holds it ten minutes, no longer.
    for (const bool ownNodeStops : {true, false}) {
        RunHarness h;
        h.nodeWithCliStop("DAEMON");
        h.put("SW_D_COMMAND_TEXTBOX", "exec \"/opt/sim/simcoind\" -conf=/c/DEMO.conf -datadir=/main ");
        h.start();
        h.platform.processList = {{41, "simcoind", {"-datadir=/test"}}, {42, "simcoind", {"-datadir=/main"}}};
        h.pressRunButton();
        h.advance(12'000);  // stage 12's second tick
        EXPECT_EQ(h.status(), "WAITING FOR simcoind (PID 42) TO STOP - 00:00:02 OF 00:10:00");
        if (ownNodeStops) h.platform.processList.pop_back();
        h.advance(ownNodeStops ? 1'000 : 598'000);
        EXPECT_EQ(h.status(), ownNodeStops ? "!!! DAEMON SHUTDOWN COMPLETE !!!"
                                           : "!!! NODE NOT SEEN TO STOP - simcoind (PID 42) STILL RUNS AFTER "
                                             "00:10:00 - GOING ON !!!");
        EXPECT_EQ(h.w().TASK_12_LIGHT.back(), ownNodeStops ? colour::cyan : colour::red);
        EXPECT_EQ(h.runningStages(), std::vector<int>{13});
        EXPECT_EQ(h.w().runFault(), ownNodeStops ? "" : "!!! NODE NOT SEEN TO STOP !!!");
    }
}

TEST(Pipeline, TheNodesLastWordsGoWithItsErrorAndIntoTheEndReport) {
    const std::string output = std::string(home) + "/LOGS/DEMO-NODE-OUTPUT.LOG";
    const std::string mark = "--- PACEDECK STARTS THE DAEMON - 07/12/2026 12:00:00 ---\n";
    const std::string said =
        "Error: Config setting for -wallet only applied on regtest network when in [regtest] section.";
    // {the file as earlier starts left it, what the node printed, its last words}: an earlier
    // start's words are not this start's reason.
    for (const auto& [before, printed, words] : std::vector<std::array<std::string, 3>>{
             {"", "2026-12-07T12:00:01Z Using config file /c.conf\r\n" + said + "\r\n\n", said},
             {mark + "Error: an earlier start's\n", "", ""}}) {
        RunHarness h;
        h.nodeWithCliStop("DAEMON");
        h.put("TASK_8_ENABLE_TICKBOX", "1");
        h.put("FINISH_WHEN_IDENTICAL_TICKBOX", "1");
        h.put("USER_COUNT_TIME_TEXTBOX", "00:00:05");
        if (!before.empty()) h.platform.files[output] = before;
        h.start();
        h.pressRunButton();
        h.advance(7'000);  // stage 7 starts the node
        ASSERT_EQ(h.platform.launches.at(0).outputFile, output);
        EXPECT_EQ(h.platform.files[output], before + mark);
        h.platform.files[output] += printed;
        h.advance(6'000);  // the blockcounter's first count ends: no node
        EXPECT_EQ(h.status(), words.empty() ? "!!! BC - QT / DAEMON ERROR - CONTINUING... !!!"
                                            : "!!! BC - QT / DAEMON ERROR - THE NODE SAID: " + words +
                                                  " - CONTINUING... !!!");
        h.advance(60'000);
        EXPECT_EQ(h.w().LOG_FILE_OUTPUT_TEXTBOX.text().find("DAEMON LAST OUTPUT: " + words + "\n") !=
                      std::string::npos,
                  !words.empty());
    }
}

TEST(Pipeline, TheNodesKeptOutputStaysBoundedAcrossAndWithinRuns) {
    RunHarness h;
    h.nodeWithCliStop("DAEMON");
    auto& kept = h.platform.files[std::string(home) + "/LOGS/DEMO-NODE-OUTPUT.LOG"];
    const auto lines = [](std::size_t bytes, std::string text = {}) {
        for (int n = 0; text.size() < bytes; ++n) text += "UpdateTip: height=" + std::to_string(n) + "\n";
        return text;
    };
    kept = lines(3 * NodeOutput::maxBytes);
    h.start();
    h.platform.running = {"simcoind"};
    h.pressRunButton();
    h.advance(7'000);  // the node starts: the earlier runs' output is cut, from a line's start
    EXPECT_LE(kept.size(), NodeOutput::keepBytes + 100);
    EXPECT_TRUE(kept.starts_with("UpdateTip: height=") && kept.ends_with(" 12:00:00 ---\n"))
        << kept.substr(0, 40);
    kept += lines(2 * NodeOutput::maxBytes);  // the node writes on
    h.advance(5'000);
    EXPECT_LE(kept.size(), NodeOutput::keepBytes);
}

}  // namespace pd::test
