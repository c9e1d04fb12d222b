#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/ManualRunWindow.hpp"

namespace pd::test {

namespace {
constexpr const char* home = "C:\\PD";

struct ManualRun : Harness {
    ManualRun() : Harness("BTC", windowsProfile()) {
        put("PACEDECK_HOME_TEXTBOX", home);
        put("QT_NAME_TEXTBOX", "coin-qt.exe");
        put("DAEMOND_NAME_TEXTBOX", "coind.exe");
        put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "coin-cli.exe");
    }
    // What the main window's watcher sees running.
    void see(std::initializer_list<const char*> names) {
        platform.running.clear();
        for (auto* n : names) platform.running.insert(n);
    }
    ManualRunWindow& open() {
        start();
        return app.open<ManualRunWindow>(&main());
    }
};
}  // namespace

TEST(ManualRunWindow, NothingRunningLeavesEveryButtonUsable) {
    ManualRun h;
    auto& w = h.open();
    EXPECT_EQ(w.BUTTON_UPDATE_TIMER.interval(), 1000);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.text(), "SendEmail.exe");
    h.advance(1000);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::red);
    EXPECT_TRUE(w.QT_START_BUTTON.enabled());
    EXPECT_TRUE(w.DAEMON_START_BUTTON.enabled());
    EXPECT_TRUE(w.CLI_STOP_BUTTON.enabled());
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.toolTip(), "QT PROCESS STOPPED");
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.toolTip(), "SendEmail.exe PROCESS STOPPED");
}

TEST(ManualRunWindow, ARunningNodeGreysBothStartsAndARunningCliGreysTheStopOnly) {
    ManualRun h;
    auto& w = h.open();
    h.see({"coin-qt.exe", "SendEmail.exe"});  // the watcher shows the mailer at work
    h.advance(999);
    EXPECT_TRUE(w.QT_START_BUTTON.enabled());  // the refresh comes once a second
    h.advance(1);
    EXPECT_FALSE(w.QT_START_BUTTON.enabled());
    EXPECT_FALSE(w.DAEMON_START_BUTTON.enabled());
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.toolTip(), "QT PROCESS RUNNING");
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.toolTip(), "DAEMON PROCESS STOPPED");
    // The mailer at work does not hold the stop request back.
    EXPECT_TRUE(w.CLI_STOP_BUTTON.enabled());
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.toolTip(), "SendEmail.exe PROCESS RUNNING");

    h.see({"coind.exe", "coin-cli.exe"});
    h.advance(1000);
    EXPECT_FALSE(w.QT_START_BUTTON.enabled());
    EXPECT_FALSE(w.DAEMON_START_BUTTON.enabled());
    EXPECT_FALSE(w.CLI_STOP_BUTTON.enabled());
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.toolTip(), "CLI PROCESS RUNNING");

    h.see({});
    h.advance(1000);
    EXPECT_TRUE(w.QT_START_BUTTON.enabled());
    EXPECT_TRUE(w.DAEMON_START_BUTTON.enabled());
    EXPECT_TRUE(w.CLI_STOP_BUTTON.enabled());
}

TEST(ManualRunWindow, ButtonsStartTheScriptsHiddenAndAMissingScriptIsSaid) {
    ManualRun h;
    h.platform.files["C:\\PD\\BATS\\BTC-RUN-QT.bat"] = "call x\r\n";
    h.platform.files["C:\\PD\\BATS\\BTC-RUN-CLI-STOP.bat"] = "call y\r\n";
    auto& w = h.open();
    ASSERT_TRUE(w.QT_START_BUTTON.click());
    ASSERT_TRUE(w.QT_START_BUTTON.click());  // nothing greys a button before the next refresh
    ASSERT_TRUE(w.CLI_STOP_BUTTON.click());
    EXPECT_EQ(h.platform.launched(),
              (std::vector<std::string>{"C:\\PD\\BATS\\BTC-RUN-QT.bat", "C:\\PD\\BATS\\BTC-RUN-QT.bat",
                                        "C:\\PD\\BATS\\BTC-RUN-CLI-STOP.bat"}));
    for (auto& l : h.platform.launches) {
        EXPECT_TRUE(l.script);
        EXPECT_EQ(l.style, WindowStyle::Hidden);
    }
    EXPECT_EQ(w.MANUAL_RUN_STATUS_LABEL.text(), "CLI \"STOP\" REQUEST STARTED");

    ASSERT_TRUE(w.DAEMON_START_BUTTON.click());
    EXPECT_EQ(h.platform.launches.size(), 3u);
    EXPECT_EQ(w.MANUAL_RUN_STATUS_LABEL.text(),
              "!!! DAEMON NOT STARTED: no such file: C:\\PD\\BATS\\BTC-RUN-DAEMON.bat !!!");
    EXPECT_EQ(w.MANUAL_RUN_STATUS_LABEL.fore(), colour::red);
    EXPECT_TRUE(w.isOpen());
}

TEST(ManualRunWindow, ClosingStoresThePlaceAndStopsTheRefresh) {
    ManualRun h;
    auto& w = h.open();
    h.store.clearLog();
    ASSERT_TRUE(w.OK_BUTTON.click());
    EXPECT_EQ(h.store.writtenKeys("BTC"), (std::vector<std::string>{"MANUAL_RUN-Left", "MANUAL_RUN-Top"}));
    EXPECT_EQ(h.app.find<ManualRunWindow>(), nullptr);
    h.advance(3000);  // a stopped timer of a closed window never fires
}

}  // namespace pd::test
