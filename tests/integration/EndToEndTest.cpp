// Whole runs on this machine: the POSIX platform, the SQLite store, real scripts run by
// /bin/sh, Debian's sendemail against a local SMTP sink, on the real clock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <thread>

#include "LiveRun.hpp"
#include "app/setup/SetupDriver.hpp"
#include "app/setup/SetupScript.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "main/RunHistory.hpp"
#include "main/SyncHistory.hpp"
#include "settings/EmailSettingsWindow.hpp"

namespace pd::test {

using namespace simtest;
namespace fs = std::filesystem;

namespace {

// The home folder as CREATE FOLDERS leaves it.
std::string makeHome(const ScratchDir& dir) {
    auto home = dir / "PACEDECK HOME";
    for (auto sub : {"", "/BATS", "/BLOCKCOUNTS", "/CONFIGS", "/LOGS", "/REPORTS"})
        fs::create_directories(home + sub);
    return home;
}

// A simulated node's data folder and programs, and the node a run starts in it, however
// it ends. The programs are links under names of this test's own: the run knows its node
// by its process name, and another simcoind on the machine must not hold or fool it.
class NodeFolder {
  public:
    NodeFolder(const ScratchDir& dir, const std::string& simSettings)
        : path_(dir / "node data"), programs_(dir / "node programs"), name_(uniqueName()) {
        fs::create_directories(path_);
        simtest::writeFile(path_ + "/simcoin.conf", simSettings);
        fs::create_directories(programs_);
        for (const auto& program : {daemon(), qt(), cli()})
            fs::create_symlink(std::string(SIMCOIN_BIN_DIR) + "/simcoin", programs_ + "/" + program);
    }
    ~NodeFolder() {
        if (auto pid = runningPid()) ::kill(*pid, SIGKILL);
    }
    NodeFolder(const NodeFolder&) = delete;
    NodeFolder& operator=(const NodeFolder&) = delete;

    const std::string& path() const { return path_; }
    // The node's process while it runs; a crashed node leaves its pid file behind.
    std::optional<pid_t> runningPid() const {
        auto text = simtest::readFile(path_ + "/simcoind.pid");
        if (text.empty()) return std::nullopt;
        auto pid = static_cast<pid_t>(std::stol(text));
        if (!pidAlive(pid)) return std::nullopt;
        return pid;
    }
    std::string log() const { return simtest::readFile(path_ + "/debug.log"); }

    const std::string& programs() const { return programs_; }
    // The sim takes its personality from the end of its name.
    std::string daemon() const { return name_ + "d"; }
    std::string qt() const { return name_ + "-qt"; }
    std::string cli() const { return name_ + "-cli"; }

  private:
    // Unique on this machine while the test runs, and short enough for the kernel's
    // 15-character process names.
    static std::string uniqueName() {
        static int made = 0;
        return "sc" + std::to_string(::getpid()) + "-" + std::to_string(++made);
    }

    std::string path_;
    std::string programs_;
    std::string name_;
};

// What pacedeck-setup would apply for a daemon run of the simulated node: a home folder
// made by CREATE FOLDERS, a conf file from the generator with a test login on a free
// port, the simulated programs, a blockcounter polling every two seconds until the
// readings hold, cli stop, and autoclose. `sections` come before the main window's, whose
// EXIT stores its ticks; `ticks` are more of them.
std::string nodeRunSetup(const std::string& home, const NodeFolder& node, std::uint16_t port,
                         const std::string& sections = "", const std::string& ticks = "") {
    const std::string programs = node.programs();
    return "[PACEDECK_MAIN_SETTINGS]\n"
           "PACEDECK_HOME_TEXTBOX = \"" +
           home +
           "\"\n"
           "press = CREATE_FOLDERS_BUTTON\n"
           "press = OK_BUTTON\n"
           "[PACEDECK_MAIN_SETTINGS]\n"
           "AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX = 1\n"
           "press = OK_BUTTON\n"
           "[PACEDECK_CONF_GENERATOR_IDS]\n"
           "IMPORT_SETTINGS_TICKBOX = 1\n"
           "press = BASIC_SETTINGS_BUTTON\n"
           "[PACEDECK_CONF_GENERATOR_TEST_RPC]\n"
           "press = TEST_CFG_2_BUTTON\n"
           "press = USE_CURRENT_CREDENTIALS_BUTTON\n"
           "[PACEDECK_CONF_GENERATOR_MAIN]\n"
           "CRYPTO_NAME_TEXTBOX = SIM\n"
           "RPC_PORT_TEXTBOX = " +
           std::to_string(port) +
           "\n"
           "press = SAVE_BUTTON\n"
           "[PACEDECK_CRYPTO_SETTINGS]\n"
           "CRYPTO_NAME_TEXTBOX = SIM\n"
           "BLOCKCHAIN_HOME_TEXTBOX = \"" +
           node.path() +
           "\"\n"
           "QT_LOCATION_TEXTBOX = \"" +
           programs +
           "\"\n"
           "QT_NAME_TEXTBOX = " +
           node.qt() +
           "\n"
           "DAEMON_CLI_LOCATION_TEXTBOX = \"" +
           programs +
           "\"\n"
           "DAEMOND_NAME_TEXTBOX = " +
           node.daemon() +
           "\n"
           "DAEMONCLI_NAME_SETTINGS_TEXTBOX = " +
           node.cli() +
           "\n"
           "press = SAVE_BUTTON\n" +
           sections +
           "[PACEDECK_MAIN]\n"
           "ALWAYS_ON_TOP_TICKBOX = 0\n"
           "RUN_DAEMON_TICKBOX = 1\n"
           "TASK_8_ENABLE_TICKBOX = 1\n"
           "FINISH_WHEN_IDENTICAL_TICKBOX = 1\n"
           "USER_COUNT_TIME_TEXTBOX = 00:00:02\n"
           "TASK_11_ENABLE_TICKBOX = 1\n"
           "TASK_19_ENABLE_TICKBOX = 1\n" +
           ticks + "press = EXIT_BUTTON\n";
}

// Applies a set-up text to the copy's store and files as pacedeck-setup does: rehearsed
// on this system first, then for real.
void applySetup(const ScratchDir& dir, const std::string& exe, const std::string& text) {
    auto script = setup::parseSetupScript(text);
    ASSERT_FALSE(script.error) << script.error->line << ": " << script.error->message;
    LiveCopy copy(dir, exe);
    auto error = setup::applySetup(exe, copy.store, copy.platform, copy.profile, copy.clock, script.lines);
    ASSERT_FALSE(error) << error->line << ": " << error->message;
}

}  // namespace

TEST(EndToEnd, TheMailerGetsEveryValueWholeAndTheScriptsAreTheUsersAlone) {
    ScratchDir dir;
    auto home = makeHome(dir);
    // A stand-in mailer that writes down the arguments it was given.
    auto mailerHome = dir / "mail tools";
    fs::create_directories(mailerHome);
    simtest::writeFile(mailerHome + "/sendemail",
                       "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n<<end>>\\n' \"$a\"; done > \"$(dirname "
                       "\"$0\")/args\"\n");
    fs::permissions(mailerHome + "/sendemail", fs::perms::owner_all);

    LiveCopy copy(dir, "MAILTEST");
    copy.put("PACEDECK_HOME_TEXTBOX", home);
    copy.put("CRYPTO_NAME_TEXTBOX", "SIM");
    auto& w = copy.app.start<MainWindow>();
    auto& e = copy.app.open<EmailSettingsWindow>(&w);
    const std::string password = "it's a \"pw\" $HOME `id` \\ x";
    e.SE_HOME_TEXTBOX.type(mailerHome);
    e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("127.0.0.1:25");
    e.SMTP_USERNAME_TEXTBOX.type("me two");
    e.SMTP_PASSWORD_TEXTBOX.type(password);
    e.SEND_FROM_ADDRESS_TEXTBOX.type("node@example.org");
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
    ASSERT_TRUE(e.OK_BUTTON.click());

    auto script = home + "/BATS/MAILTEST-START-EMAIL.sh";
    struct stat st {};
    ASSERT_EQ(::stat(script.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((home + "/BATS/MAILTEST-END-REPORT-EMAIL.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(copy.stored("SMTP_PASSWORD_TEXTBOX"), password);

    ASSERT_TRUE(copy.platform.runScript(script, WindowStyle::Hidden));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(mailerHome + "/args"); }, 10s));
    std::vector<std::string> args;
    std::string text = simtest::readFile(mailerHome + "/args");
    for (std::size_t at = 0, end; (end = text.find("\n<<end>>\n", at)) != std::string::npos; at = end + 9)
        args.push_back(text.substr(at, end - at));
    const std::vector<std::string> expected = {"-f",   "node@example.org",
                                               "-t",   "me@example.org",
                                               "-cc",  "",
                                               "-bcc", "",
                                               "-u",   "PACEDECK - SIM - STARTED",
                                               "-m",   "PACEDECK - SIM - STARTED",
                                               "-s",   "127.0.0.1:25",
                                               "-xu",  "me two",
                                               "-xp",  password,
                                               "-o",   "reply-to=node@example.org",
                                               "-l",   home + "/LOGS/MAILTEST-SEND-EMAIL.LOG",
                                               "-o",   "tls=no",
                                               "-o",   "username=me two",
                                               "-o",   "password=" + password,
                                               "-q",   "-v"};
    EXPECT_EQ(args, expected);
}

// One run of a copy that mails its start notice and its report through a local sink.
static void mailARun(bool history) {
    ScratchDir dir;
    SmtpSink sink(dir);
    ASSERT_TRUE(sink.ready());
    auto home = makeHome(dir);

    LiveCopy copy(dir, "MAILRUN");
    copy.put("PACEDECK_HOME_TEXTBOX", home);
    copy.put("CRYPTO_NAME_TEXTBOX", "SIM");
    copy.put("ALWAYS_ON_TOP_TICKBOX", "0");
    copy.put("TASK_4_ENABLE_TICKBOX", "1");
    copy.put("TASK_17_ENABLE_TICKBOX", "1");
    auto& w = copy.app.start<MainWindow>();
    auto& e = copy.app.open<EmailSettingsWindow>(&w);
    ASSERT_TRUE(e.USE_BUTTON.click());
    e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("127.0.0.1:" + std::to_string(sink.port()));
    e.SEND_FROM_ADDRESS_TEXTBOX.type("node@example.org");
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
    ASSERT_TRUE(e.REPORT_AS_ATTACHMENT_TICKBOX.click());
    ASSERT_TRUE(e.OK_BUTTON.click());

    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    // The history the run's sync check keeps (a run starts without an earlier run's).
    if (history)
        simtest::writeFile(
            home + "/LOGS/MAILRUN-SYNC-HISTORY.csv",
            "time,height,headers,peers\n2026-12-08T02:00:00Z,10,50,0\n2026-12-08T02:01:00Z,50,50,3\n");
    ASSERT_TRUE(copy.runUntil([&] { return copy.status() == "!!! COMPLETED - FINISHED - DONE !!!"; }, 60s))
        << copy.status();
    EXPECT_EQ(w.TASK_4_LIGHT.back(), colour::green);
    EXPECT_EQ(w.TASK_17_LIGHT.back(), colour::green);

    ASSERT_TRUE(sink.waitForMessages(2));
    auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 2u);
    auto notice = std::find_if(messages.begin(), messages.end(), [](auto& m) {
        return m.find("Subject: PACEDECK - SIM - STARTED\r\n") != m.npos;
    });
    auto report = std::find_if(messages.begin(), messages.end(), [](auto& m) {
        return m.find("Subject: PACEDECK - SIM - COMPLETED - LOG REPORT\r\n") != m.npos;
    });
    ASSERT_NE(notice, messages.end());
    ASSERT_NE(report, messages.end());
    EXPECT_NE(notice->find("To: \"me@example.org\" <me@example.org>"), std::string::npos);
    // The report's body is the report file; with the tick it is attached as well.
    auto file = simtest::readFile(home + "/REPORTS/MAILRUN-END-REPORT.LOG");
    ASSERT_NE(file.find("FINAL ACTION:"), std::string::npos);
    EXPECT_NE(normalised(*report).find(normalised(file)), std::string::npos) << *report;
    EXPECT_NE(report->find("filename=\"MAILRUN-END-REPORT.LOG\""), std::string::npos) << *report;
    EXPECT_EQ(report->find("filename=\"MAILRUN-SYNC-CHART.svg\"") != std::string::npos, history) << *report;
    // The mailer wrote its log where the commands told it to.
    auto log = simtest::readFile(home + "/LOGS/MAILRUN-SEND-EMAIL.LOG");
    EXPECT_NE(log.find("Email was sent successfully"), std::string::npos) << log;
}

TEST(EndToEnd, ARunMailsItsStartNoticeAndItsReportThroughTheRealMailer) {
    // SYNC CHECK is ticked in a new copy: the chart goes with the report when the run has a
    // sync history, and without one the mail still goes, with the report alone.
    for (const bool history : {true, false}) {
        SCOPED_TRACE(history ? "with a sync history" : "without a sync history");
        mailARun(history);
    }
}

TEST(EndToEnd, AnUnattendedRunSyncsTheSimulatedNodeMailsAndClosesItself) {
    ScratchDir dir;
    SmtpSink sink(dir);
    ASSERT_TRUE(sink.ready());
    const auto home = dir / "PACEDECK HOME";
    NodeFolder node(dir, "start_height=1000\ntarget=+40\nrate=10\nstartup_delay=1\nstop_delay=1\n");
    applySetup(dir, "SIMRUN",
               nodeRunSetup(home, node, freePort(), mailToSink(sink, "REPORT_AS_ATTACHMENT_TICKBOX = 1\n"),
                            "TASK_4_ENABLE_TICKBOX = 1\nTASK_17_ENABLE_TICKBOX = 1\n"));
    // The reading an earlier run left behind: the new data folder starts at that height.
    simtest::writeFile(home + "/BLOCKCOUNTS/SIMRUN-LATEST-BLOCKCOUNT.LOG", "1000\n");
    // Another program called simcoind runs on this machine all along: the run must not
    // wait for it at its shutdown stage, nor take it for its node.
    const auto stranger = dir / "simcoind";
    fs::create_symlink("/bin/sleep", stranger);
    Process other(stranger, {"600"}, Env{}, dir / "other.out", dir / "other.err");

    LiveCopy copy(dir, "SIMRUN");
    copy.put("NODE_STOPPED_AT_BLOCK", "1000\n");  // and it ended cleanly with its node stopped there
    auto& w = copy.app.start<MainWindow>();
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    std::optional<pid_t> nodePid;
    ASSERT_TRUE(copy.runUntil(
        [&] {
            if (!nodePid) nodePid = node.runningPid();
            return !copy.app.running();
        },
        180s))
        << copy.status();

    // The node the run started was polled, stopped cleanly and has gone.
    EXPECT_TRUE(other.running());
    ASSERT_TRUE(nodePid);
    EXPECT_FALSE(pidAlive(*nodePid));
    EXPECT_NE(node.log().find("getblockcount"), std::string::npos);
    EXPECT_FALSE(fs::exists(node.path() + "/simcoind.pid"));
    EXPECT_EQ(simtest::readFile(node.path() + "/height"), "1040\n");

    EXPECT_EQ(copy.stored("BLOCKCOUNTER_LAST_RUN"), completed);
    EXPECT_EQ(copy.stored("MULTILOADER_LAST_RUN_TEXTBOX"), completed);
    const auto reportFile = simtest::readFile(home + "/REPORTS/SIMRUN-END-REPORT.LOG");
    const auto report = lines(reportFile);
    EXPECT_EQ(after(report, "Last Know Block Number BEFORE Update:"), "1000");
    EXPECT_EQ(after(report, "Last Know Block Number AFTER Update:"), "1040");
    EXPECT_EQ(after(report, "Number Of Blocks Downloaded:"), "40");
    EXPECT_EQ(copy.stored("NODE_STOPPED_AT_BLOCK"), "1040\n");  // the next run's start
    EXPECT_NE(std::find(report.begin(), report.end(), std::string("BLOCKCOUNTER LAST RUN: ") + completed),
              report.end())
        << reportFile;

    // The start notice and the report went out through the real mailer.
    ASSERT_TRUE(sink.waitForMessages(2));
    auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 2u);
    auto has = [&](const std::string& subject) {
        return std::find_if(messages.begin(), messages.end(),
                            [&](auto& m) { return m.find("Subject: " + subject + "\r\n") != m.npos; });
    };
    auto notice = has("PACEDECK - SIM - STARTED");
    auto mailed = has("PACEDECK - SIM - COMPLETED - LOG REPORT");
    ASSERT_NE(notice, messages.end());
    ASSERT_NE(mailed, messages.end());
    EXPECT_NE(normalised(*mailed).find(normalised(reportFile)), std::string::npos) << *mailed;
    EXPECT_NE(mailed->find("filename=\"SIMRUN-END-REPORT.LOG\""), std::string::npos);
    auto log = simtest::readFile(home + "/LOGS/SIMRUN-SEND-EMAIL.LOG");
    EXPECT_NE(log.find("Email was sent successfully"), std::string::npos) << log;
}

// A node without peers holds its readings equal below its headers: the run must not call it
// synced. It polls on until the height has stood for the stall limit, then ends as a failure
// and mails the report as an alert.
TEST(EndToEnd, ANodeWithoutPeersIsCaughtAsStuckReportedAndAlerted) {
    ScratchDir dir;
    SmtpSink sink(dir);
    ASSERT_TRUE(sink.ready());
    const auto home = dir / "PACEDECK HOME";
    NodeFolder node(dir, "start_height=1000\ntarget=+80\nrate=10\nstartup_delay=1\nstuck_at=1020\n");
    applySetup(dir, "SIMSTUCK",
               nodeRunSetup(home, node, freePort(),
                            "[PACEDECK_CRYPTO_SETTINGS]\n"
                            "STALL_LIMIT_TEXTBOX = 00:00:40\n"
                            "press = SAVE_BUTTON\n" +
                                mailToSink(sink),
                            "TASK_17_ENABLE_TICKBOX = 1\n"));

    LiveCopy copy(dir, "SIMSTUCK");
    auto& w = copy.app.start<MainWindow>();
    ASSERT_TRUE(w.SYNC_CHECK_TICKBOX.ticked());  // a new copy checks its node
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    std::vector<std::string> statuses;
    w.CURRENT_STATUS_LABEL.observe([&](const Element& e) { statuses.push_back(e.text()); });
    ASSERT_TRUE(copy.runUntil([&] { return !copy.app.running(); }, 180s)) << copy.status();

    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "!!! NO PEERS !!!"), statuses.end());
    EXPECT_EQ(simtest::readFile(node.path() + "/height"), "1020\n");
    EXPECT_FALSE(node.runningPid());
    EXPECT_NE(node.log().find("getconnectioncount"), std::string::npos);
    EXPECT_EQ(copy.stored("BLOCKCOUNTER_LAST_RUN"), "!!! NODE STUCK !!!");
    EXPECT_EQ(copy.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! NODE STUCK !!!");
    const auto reportFile = simtest::readFile(home + "/REPORTS/SIMSTUCK-END-REPORT.LOG");
    const auto report = lines(reportFile);
    EXPECT_NE(std::find(report.begin(), report.end(), "BLOCKCOUNTER LAST RUN: !!! NODE STUCK !!!"),
              report.end())
        << reportFile;
    EXPECT_EQ(std::find(report.begin(), report.end(), std::string("BLOCKCOUNTER LAST RUN: ") + completed),
              report.end());
    // Each poll the node answered is in the run's history: frozen below its headers, no peers.
    const auto history = parseSyncHistory(simtest::readFile(home + "/LOGS/SIMSTUCK-SYNC-HISTORY.csv"));
    ASSERT_FALSE(history.empty());
    EXPECT_EQ(history.back(), (SyncSample{history.back().unixSeconds, 1020, 1080, 0}));

    ASSERT_TRUE(sink.waitForMessages(1));
    const auto messages = sink.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Subject: PACEDECK - SIM - ALERT - NODE STUCK - LOG REPORT\r\n"),
              std::string::npos)
        << messages[0];
    EXPECT_NE(normalised(messages[0]).find(normalised(reportFile)), std::string::npos);
}

TEST(EndToEnd, ANodeThatCrashesMidRunEndsTheRunCleanlyWithoutASuccessStamp) {
    ScratchDir dir;
    const auto home = dir / "PACEDECK HOME";
    NodeFolder node(dir, "start_height=1000\ntarget=+80\nrate=5\nstartup_delay=1\ncrash_at=1040\n");
    // Without autoclose the run ends at its last stage with the window open.
    applySetup(dir, "SIMCRASH", nodeRunSetup(home, node, freePort(), "", "TASK_19_ENABLE_TICKBOX = 0\n"));

    LiveCopy copy(dir, "SIMCRASH");
    auto& w = copy.app.start<MainWindow>();
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    ASSERT_TRUE(copy.runUntil([&] { return copy.status() == "!!! COMPLETED - FINISHED - DONE !!!"; }, 180s))
        << copy.status();
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.back(), colour::red);

    EXPECT_NE(node.log().find("getblockcount"), std::string::npos);
    EXPECT_EQ(simtest::readFile(node.path() + "/height"), "1040\n");
    EXPECT_FALSE(node.runningPid());
    EXPECT_EQ(copy.stored("BLOCKCOUNTER_LAST_RUN"), "!!! QT / DAEMON ERROR !!!");
    // A run without a final action is stamped at its end as well.
    EXPECT_EQ(copy.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! QT / DAEMON ERROR !!!");
    const auto report = lines(simtest::readFile(home + "/REPORTS/SIMCRASH-END-REPORT.LOG"));
    EXPECT_NE(std::find(report.begin(), report.end(), "BLOCKCOUNTER LAST RUN: !!! QT / DAEMON ERROR !!!"),
              report.end());
}

TEST(EndToEnd, ANodeThatNeverStopsHoldsTheRunAtItsShutdownStageUntilStop) {
    ScratchDir dir;
    const auto home = dir / "PACEDECK HOME";
    NodeFolder node(dir, "start_height=1000\ntarget=+10\nrate=10\nstartup_delay=1\nnever_stop=1\n");
    applySetup(dir, "SIMHOLD", nodeRunSetup(home, node, freePort()));

    LiveCopy copy(dir, "SIMHOLD");
    auto& w = copy.app.start<MainWindow>();
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    // The stop request reached the node, which answered it and kept running.
    ASSERT_TRUE(
        copy.runUntil([&] { return node.log().find("Stop requested; ignored") != std::string::npos; }, 120s))
        << copy.status();
    ASSERT_TRUE(copy.runUntil([&] { return w.TASK_12_LIGHT.back() == colour::cyan; }, 10s));
    const auto before = w.TASK_13_LIGHT.back();
    EXPECT_FALSE(copy.runUntil([&] { return w.TASK_13_LIGHT.back() != before; }, 4s)) << copy.status();
    EXPECT_TRUE(node.runningPid());
    EXPECT_EQ(copy.stored("BLOCKCOUNTER_LAST_RUN"), completed);

    // STOP ends the run there: no later stage runs and no report is written.
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    EXPECT_EQ(w.MULTILOADER_START_STOP_BUTTON.text(), "START");
    EXPECT_FALSE(copy.runUntil([&] { return w.TASK_13_LIGHT.back() != before; }, 2s));
    EXPECT_FALSE(fs::exists(home + "/REPORTS/SIMHOLD-END-REPORT.LOG"));
    EXPECT_EQ(copy.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! MANUAL STOP !!!");
    EXPECT_TRUE(copy.app.running());
}

// Three weeks of one copy against one node: a run that catches up, one whose node loses its
// peers, one whose node crashes. Each leaves its line in the run history, in order, and a
// line once written stays as it was.
TEST(EndToEnd, ThreeRunsSuccessStuckAndNodeErrorLeaveThreeLinesInTheRunHistory) {
    ScratchDir dir;
    const auto home = dir / "PACEDECK HOME";
    NodeFolder node(dir, "start_height=1000\ntarget=+40\nrate=10\nstartup_delay=1\nstop_delay=1\n");
    applySetup(
        dir, "SIMWEEKS",
        nodeRunSetup(home, node, freePort(),
                     "[PACEDECK_CRYPTO_SETTINGS]\nSTALL_LIMIT_TEXTBOX = 00:00:20\npress = SAVE_BUTTON\n"));
    simtest::writeFile(home + "/BLOCKCOUNTS/SIMWEEKS-LATEST-BLOCKCOUNT.LOG", "1000\n");
    const auto historyFile = home + "/LOGS/SIMWEEKS-RUN-HISTORY.csv";
    const std::vector<std::pair<std::string, std::string>> weeks = {
        {"", completed},
        {"stuck_at=1060\n", "!!! NODE STUCK !!!"},
        // Slow enough that the run reads a height before the crash (about 20 s after its
        // node's start): a node gone before the first poll leaves the end unknown.
        {"rate=1\ncrash_at=1080\n", "!!! QT / DAEMON ERROR !!!"},
    };
    std::string before;
    for (const auto& [fault, stamp] : weeks) {
        SCOPED_TRACE(stamp);
        // The node takes the first line of a name: the week's own lines go first.
        simtest::writeFile(node.path() + "/simcoin.conf",
                           fault + "target=+40\nrate=10\nstartup_delay=1\nstop_delay=1\n");
        LiveCopy copy(dir, "SIMWEEKS");
        // As if an earlier run had ended cleanly with its node stopped at 1000.
        if (before.empty()) copy.put("NODE_STOPPED_AT_BLOCK", "1000\n");
        auto& w = copy.app.start<MainWindow>();
        ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
        ASSERT_TRUE(copy.runUntil([&] { return !copy.app.running(); }, 180s)) << copy.status();
        EXPECT_EQ(copy.stored("MULTILOADER_LAST_RUN_TEXTBOX"), stamp);
        const auto after = simtest::readFile(historyFile);
        EXPECT_TRUE(after.starts_with(before)) << after;
        before = after;
    }
    const auto runs = parseRunHistory(before);
    ASSERT_EQ(runs.size(), 3u) << before;
    EXPECT_EQ(std::count(before.begin(), before.end(), '\n'), 4) << before;
    // The numbers are the end report's: a run starts from a known height only after a run that
    // ended cleanly, and the crashed node's last reading is the last poll before the crash.
    const std::vector<std::tuple<std::optional<long long>, long long, long long>> heights = {
        {1000, 1040, 1040}, {1040, 1060, 1060}, {std::nullopt, 1060, 1080}};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        const auto [start, lowest, highest] = heights[i];
        EXPECT_EQ(runs[i].outcome, weeks[i].second);
        EXPECT_EQ(runs[i].heightBefore, start);
        ASSERT_TRUE(runs[i].heightAfter) << before;
        EXPECT_GE(*runs[i].heightAfter, lowest);
        EXPECT_LE(*runs[i].heightAfter, highest);
        EXPECT_EQ(runs[i].downloaded,
                  start ? std::optional<long long>(*runs[i].heightAfter - *start) : std::nullopt);
        EXPECT_EQ(runs[i].runSeconds, runs[i].end - runs[i].start);
        EXPECT_GT(runs[i].runSeconds, 10);
        ASSERT_TRUE(runs[i].bytesBefore && runs[i].bytesAfter);
        EXPECT_GE(*runs[i].bytesAfter, *runs[i].bytesBefore);
        if (i > 0) {
            EXPECT_GE(runs[i].start, runs[i - 1].end);
        }
    }
}

}  // namespace pd::test
