#include <gtest/gtest.h>

#include "Harness.hpp"

namespace pd::test {

namespace {
void nameTheProcesses(Harness& h) {
    h.put("QT_NAME_TEXTBOX", "coin-qt.exe");
    h.put("DAEMOND_NAME_TEXTBOX", "coind.exe");
    h.put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "coin-cli.exe");
}
}  // namespace

TEST(ProcessWatch, LightsAndTipsFollowTheProcessTableEveryQuarterSecond) {
    Harness h("DEMO", windowsProfile());
    nameTheProcesses(h);
    auto& w = h.start();
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.toolTip(), "coin-qt.exe");  // the names until the first look
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::windowBackground);

    h.platform.running = {"coind.exe", "coind.exe", "SendEmail.exe"};  // two daemons count as running
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::red);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.toolTip(), "QT PROCESS STOPPED");
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.toolTip(), "DAEMON PROCESS RUNNING");
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.back(), colour::red);
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.toolTip(), "CLI PROCESS STOPPED");
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.toolTip(), "SendEmail.exe PROCESS RUNNING");
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.text(), "DAEMON");  // light texts never change

    h.platform.running = {"coin-qt.exe", "coin-cli.exe"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.toolTip(), "QT PROCESS RUNNING");
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::red);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.toolTip(), "DAEMON PROCESS STOPPED");
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.toolTip(), "CLI PROCESS RUNNING");
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.back(), colour::red);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.toolTip(), "SendEmail.exe PROCESS STOPPED");
}

TEST(ProcessWatch, RunNowFollowsTheCliLight) {
    Harness h("DEMO", windowsProfile());
    nameTheProcesses(h);
    auto& w = h.start();
    h.platform.running = {"coin-cli.exe"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.back(), colour::green);
    EXPECT_FALSE(w.RUN_NOW_BUTTON.enabled());
    EXPECT_FALSE(w.RUN_NOW_BUTTON.click());
    h.platform.running.clear();
    w.RUN_NOW_BUTTON.setEnabled(false);  // as a stopped blockcounter leaves it
    h.advance(250);
    EXPECT_TRUE(w.RUN_NOW_BUTTON.enabled());
}

TEST(ProcessWatch, AProgramWithoutANameIsNotRunning) {
    Harness h("DEMO", windowsProfile());
    nameTheProcesses(h);
    auto& w = h.start();
    h.platform.running = {"coind.exe", "coin-cli.exe"};
    h.advance(250);
    ASSERT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::green);
    w.DAEMON_NAME_TEXTBOX.setText("");
    w.CLI_NAME_TEXTBOX.setText("");
    h.advance(250);
    // Red, so that neither the run's shutdown wait nor the blockcounter waits on it.
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::red);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.toolTip(), "DAEMON PROCESS NAME NOT SET");
    EXPECT_EQ(w.PROCESS_TEXTBOX_3.back(), colour::red);
    EXPECT_FALSE(w.RUN_NOW_BUTTON.enabled());  // the cli rule is skipped with its name
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::red);

    // Never named at all: every light is red after the first look.
    Harness fresh("DEMO", windowsProfile());
    auto& v = fresh.start();
    EXPECT_EQ(v.PROCESS_TEXTBOX_1.back(), colour::windowBackground);  // not looked yet
    fresh.advance(250);
    for (auto* light :
         {&v.PROCESS_TEXTBOX_1, &v.PROCESS_TEXTBOX_2, &v.PROCESS_TEXTBOX_3, &v.PROCESS_TEXTBOX_4})
        EXPECT_EQ(light->back(), colour::red) << light->name();
}

TEST(ProcessWatch, ANameWithAQuoteIsLookedUpAsItIs) {
    Harness h("DEMO", windowsProfile());
    h.put("QT_NAME_TEXTBOX", "coin' OR Name='x-qt.exe");
    auto& w = h.start();
    h.platform.running = {"x-qt.exe"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::red);
    h.platform.running = {"coin' OR Name='x-qt.exe"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::green);
}

TEST(ProcessWatch, AFailedLookKeepsTheLightsAndTheNextTickTriesAgain) {
    Harness h("DEMO", windowsProfile());
    nameTheProcesses(h);
    auto& w = h.start();
    h.platform.running = {"coind.exe"};
    h.advance(250);
    h.platform.snapshotFails = true;
    h.platform.running.clear();
    h.advance(1000);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::red);
    h.platform.snapshotFails = false;
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::red);
}

TEST(ProcessWatch, TheFourthLightWatchesTheProfilesMailer) {
    Harness h("DEMO");  // POSIX: Debian's sendemail
    auto& w = h.start();
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.text(), "sendemail");
    h.platform.running = {"SendEmail.exe"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.back(), colour::red);
    h.platform.running = {"sendemail"};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.toolTip(), "sendemail PROCESS RUNNING");
}

}  // namespace pd::test

namespace pd::test {

TEST(ProcessWatch, TheNodeLightsCountOnlyTheProcessesOfThisCopysNode) {
    // "LTC.main" beside "LTC.test", one program: this copy's node is the process whose command
    // line names its data folder (else its conf); with neither, or on Windows, any of the name.
    const std::string conf = "-conf=/PD/LTC.main.conf", other = "-conf=/PD/LTC.test.conf";
    const std::string daemon = "exec \"/usr/bin/litecoind\" " + conf + " -datadir=";
    const FakePlatform::Process mainNode{42, "litecoind", {conf, "-datadir=/main"}},
        testNode{41, "litecoind", {other, "-datadir=/test"}};
    struct Case {
        Profile profile;
        std::string command;  // SW_D_COMMAND_TEXTBOX
        std::vector<FakePlatform::Process> processes;
        std::string seen;  // empty: the light is red
    };
    const std::vector<Case> cases = {
        {posixProfile("/h"), daemon + "/main ", {testNode}, ""},
        {posixProfile("/h"), daemon + "/main ", {testNode, mainNode}, "litecoind (PID 42)"},
        {posixProfile("/h"),
         daemon + " ",
         {{41, "litecoind", {other}}, {44, "litecoind", {conf}}},
         "litecoind (PID 44)"},
        {posixProfile("/h"),
         "exec \"/usr/bin/litecoind\" -conf= -datadir= ",
         {testNode},
         "litecoind (PID 41)"},
        {windowsProfile(),
         "call \"C:\\LTC\\litecoind\" -conf=C:\\LTC.conf -datadir=D:\\main ",
         {testNode},
         "litecoind (PID 41)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command + " " + c.seen);
        Harness h("LTC.main", c.profile);
        h.put("DAEMOND_NAME_TEXTBOX", "litecoind");
        h.put("SW_D_COMMAND_TEXTBOX", c.command);
        auto& w = h.start();
        h.platform.processList = c.processes;
        h.advance(250);
        EXPECT_EQ(w.processWatch.ownNodeProcesses(), c.seen);
        EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), c.seen.empty() ? colour::red : colour::green);
        EXPECT_EQ(w.PROCESS_TEXTBOX_2.toolTip(), c.seen.empty()
                                                     ? "DAEMON PROCESS STOPPED - ANOTHER litecoind RUNS, "
                                                       "NOT THIS COPY'S"
                                                     : "DAEMON PROCESS RUNNING");
        // A process whose command line cannot be read counts by its name.
        h.platform.processList.clear();
        h.platform.running = {"litecoind"};
        h.advance(250);
        EXPECT_EQ(w.processWatch.ownNodeProcesses(), "litecoind (PID 1000)");
    }
}

TEST(ProcessWatch, AWrapperScriptIsFollowedToTheProgramItHandsOverTo) {
    // Debian's /usr/bin/litecoin execs /usr/lib/litecoin/litecoin-qt: the node runs under
    // the program's name, not the wrapper's.
    const std::string wrapper = "#!/bin/sh\nset -e\n# exec x\nexec /usr/lib/litecoin/litecoin-qt \"$@\"\n";
    EXPECT_EQ(ProcessWatch::programAWrapperStarts("#!/bin/sh\nexec 3>&1\necho x\n"), "");
    EXPECT_EQ(ProcessWatch::programAWrapperStarts("\x7f"
                                                  "ELF exec /usr/bin/x"),
              "");
    Harness h("LTC");
    h.put("QT_NAME_TEXTBOX", "litecoin");
    h.put("SW_QT_COMMAND_TEXTBOX", "exec \"/usr/bin/litecoin\" -conf=/c.conf -datadir=/ltc ");
    h.platform.files["/usr/bin/litecoin"] = wrapper;
    auto& w = h.start();
    h.platform.processList = {{7, "litecoin-qt", {"-datadir=/other"}}, {8, "litecoin-qt", {"-datadir=/ltc"}}};
    h.advance(250);
    EXPECT_EQ(w.PROCESS_TEXTBOX_1.back(), colour::green);
    EXPECT_EQ(w.processWatch.ownNodeProcesses(), "litecoin-qt (PID 8)");
}

}  // namespace pd::test
