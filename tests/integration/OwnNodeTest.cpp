// A run and Debian's real node (litecoind, litecoin-qt, litecoin-cli 0.21): which process is
// this copy's node, what the node said when it would not start, and the cli's credentials
// when the conf holds rpcauth alone. Each node is a copy of the program under a name of
// this test's own (or, for the wrapper, found by its own data folder), in regtest on free
// loopback ports, with a conf, data folders and a HOME of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "PlatformTestSupport.hpp"
#include "RealPlatformApp.hpp"
#include "confgen/TestCredentials.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/ShellQuote.hpp"
#include "main/MainWindow.hpp"
#include "main/NodeOutput.hpp"
#include "main/ProcessWatch.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "settings/NodeCommands.hpp"
#include "sim/SimHarness.hpp"

namespace pd::test {

namespace fs = std::filesystem;
using simtest::ScratchDir;

namespace {

const std::string daemonProgram = "/usr/lib/litecoin/litecoind";
const std::string cliProgram = "/usr/bin/litecoin-cli";
const std::string qtWrapper = "/usr/bin/litecoin";

bool litecoinInstalled() {
    return fs::exists(daemonProgram) && fs::exists(cliProgram);
}

// A copy of a program under a name of our own, so that no other node is taken for ours.
std::string ownCopy(const ScratchDir& dir, const std::string& program, const std::string& name) {
    const auto path = dir / name;
    fs::copy_file(program, path);
    ::chmod(path.c_str(), 0755);
    return path;
}

// One copy's node, set up as the crypto settings leave it: a conf with rpcauth only (the
// conf generator's recommended route), a data folder, and the scripts of its commands.
struct CopyNode {
    CopyNode(const ScratchDir& dir, PosixPlatform& platform, const std::string& exe, NodeCommandFields f,
             const std::string& confExtra = "")
        : platform(platform), home(dir / (exe + " home")), layout(profile, home, exe) {
        f.home = home;
        f.exe = exe;
        if (f.chainFolder.empty()) {
            f.chainFolder = dir / (exe + " chain");
            fs::create_directories(f.chainFolder);
        }
        for (auto folder : homeFolders) fs::create_directories(layout.folder(folder));
        f.conf = layout.cryptoConfig();
        const auto& login = testCredentialSets()[0];
        simtest::writeFile(
            f.conf, confExtra + "server=1\nlisten=0\nrpcauth=" + std::string(login.rpcauth) +
                        "\nregtest=1\n[regtest]\nconnect=0\nport=" + std::to_string(simtest::freePort()) +
                        "\nrpcport=" + std::to_string(simtest::freePort()) + "\n");
        fields = f;
        commands = buildNodeCommands(profile, f);
        const std::pair<Script, std::string> scripts[] = {{Script::RunQt, commands.qt},
                                                          {Script::RunDaemon, commands.daemon},
                                                          {Script::RunCliStop, commands.cliStop},
                                                          {Script::RunBlockcounter, commands.blockcount}};
        for (const auto& [script, command] : scripts)
            platform.writeFile(layout.script(script), command + "\n", true, false);
    }
    Outcome start(Script node) {
        return platform.runScriptKeepingOutput(layout.script(node), WindowStyle::Hidden, layout.nodeOutput());
    }
    CommandResult run(Script script) {
        return platform.runAndWait("/bin/sh " + shellQuoted(layout.script(script)));
    }
    // The node answers its block count through the copy's own script.
    bool answers() {
        return run(Script::RunBlockcounter).ok() && simtest::readFile(layout.latestBlockcount()) == "0\n";
    }
    std::string pidFile() const { return fields.chainFolder + "/regtest/bitcoind.pid"; }

    Profile profile = posixProfile("/nonexistent");
    PosixPlatform& platform;
    std::string home;
    HomeLayout layout;
    NodeCommandFields fields;
    NodeCommands commands;
};

// Ends what is left of our own nodes, passed or failed.
struct EndNodes {
    ~EndNodes() {
        for (const auto& name : names) platform.terminateByName(name);
    }
    PosixPlatform& platform;
    std::vector<std::string> names;
};

std::vector<ProcessId> idsOf(PosixPlatform& platform, const std::string& name,
                             const std::vector<std::string>& own) {
    auto table = platform.processes();
    return table ? table->idsOf(name, own) : std::vector<ProcessId>();
}

// A copy's main window on the real platform, moved on in watcher ticks with real time for
// the processes between them, until the condition holds or the real limit passes.
struct RealCopy : RealPlatformApp {
    explicit RealCopy(std::string exe) : RealPlatformApp(std::move(exe), posixProfile("/nonexistent")) {}
    void put(std::string_view key, std::string_view value) { store.write(app.exe(), key, value); }
    bool tickUntil(const std::function<bool()>& condition, std::chrono::seconds limit) {
        return waitUntil(
            [&] {
                advance(250);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return condition();
            },
            limit);
    }
};

}  // namespace

TEST(OwnNode, TwoCopiesOfOneCoinEachSeeOnlyTheirOwnNodeAndReachItWithRpcauthAlone) {
    if (!litecoinInstalled()) GTEST_SKIP() << "Debian's litecoind is not installed";
    ScratchDir dir;
    PosixPlatform platform;
    const auto name = "pdown" + std::to_string(::getpid()) + "d";
    EndNodes end{platform, {name}};
    NodeCommandFields f;
    f.daemonFolder = dir.path();
    f.daemonName = name;
    f.cliName = fs::path(ownCopy(dir, cliProgram, "pdown-cli")).filename();
    ownCopy(dir, daemonProgram, name);
    CopyNode main(dir, platform, "LTC.main", f);
    CopyNode test(dir, platform, "LTC.test", f);
    const auto mainOwn = ProcessWatch::ownArguments(main.profile, main.commands.daemon);
    const auto testOwn = ProcessWatch::ownArguments(test.profile, test.commands.daemon);
    ASSERT_EQ(mainOwn, std::vector<std::string>{"-datadir=" + main.fields.chainFolder});

    for (auto* node : {&main, &test}) ASSERT_TRUE(node->start(Script::RunDaemon)) << node->home;
    // The conf holds no password: the cli finds the cookie in the node's data folder.
    for (auto* node : {&main, &test})
        ASSERT_TRUE(waitUntil([&] { return node->answers(); }, 60s))
            << node->run(Script::RunBlockcounter).output;

    const auto mainIds = idsOf(platform, name, mainOwn);
    const auto testIds = idsOf(platform, name, testOwn);
    EXPECT_EQ(idsOf(platform, name, {}).size(), 2u);  // by name alone, both
    ASSERT_EQ(mainIds, std::vector<ProcessId>{pidIn(main.pidFile())});
    ASSERT_EQ(testIds, std::vector<ProcessId>{pidIn(test.pidFile())});

    // LTC.main's node stops; LTC.test's runs on and is not taken for LTC.main's.
    ASSERT_TRUE(main.run(Script::RunCliStop).ok());
    EXPECT_TRUE(waitUntil([&] { return idsOf(platform, name, mainOwn).empty(); }, 60s));
    EXPECT_EQ(idsOf(platform, name, testOwn), testIds);
    // Its output was kept, to its last line.
    EXPECT_TRUE(
        NodeOutput::lastLineOfStart(simtest::readFile(main.layout.nodeOutput())).ends_with("Shutdown: done"));
    ASSERT_TRUE(test.run(Script::RunCliStop).ok());
    EXPECT_TRUE(waitUntil([&] { return idsOf(platform, name, {}).empty(); }, 60s));
}

TEST(OwnNode, ANodeThatRefusesToStartIsReportedWithItsOwnReason) {
    if (!litecoinInstalled()) GTEST_SKIP() << "Debian's litecoind is not installed";
    struct Case {
        const char* name;
        std::string chain;     // empty: one that exists
        std::string confHead;  // lines before the copy's own
        std::string said;      // the node's words; "<chain>" stands for the data folder
    };
    const std::vector<Case> cases = {
        {"no data folder", "no such chain", "",
         "Error: Specified data directory \"<chain>\" does not exist."},
        {"a wallet outside its section", "", "wallet=w.dat\n",
         "Error: Config setting for -wallet only applied on regtest network when in [regtest] section."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        RealCopy copy("LTC.bad");
        const auto name = "pdbad" + std::to_string(::getpid()) + "d";
        EndNodes end{copy.platform, {name}};
        NodeCommandFields f;
        f.daemonFolder = dir.path();
        f.daemonName = name;
        f.cliName = "litecoin-cli";
        if (!c.chain.empty()) f.chainFolder = dir / c.chain;
        ownCopy(dir, daemonProgram, name);
        CopyNode node(dir, copy.platform, "LTC.bad", f, c.confHead);
        for (auto [key, value] : std::initializer_list<std::pair<std::string_view, std::string>>{
                 {"PACEDECK_HOME_TEXTBOX", node.home},
                 {"DAEMOND_NAME_TEXTBOX", name},
                 {"SW_D_COMMAND_TEXTBOX", node.commands.daemon},
                 {"RUN_DAEMON_TICKBOX", "1"},
                 {"TASK_8_ENABLE_TICKBOX", "1"},
                 {"FINISH_WHEN_IDENTICAL_TICKBOX", "1"},
                 {"USER_COUNT_TIME_TEXTBOX", "00:00:05"},
                 {"ALWAYS_ON_TOP_TICKBOX", "0"}})
            copy.put(key, value);
        auto& w = copy.app.start<MainWindow>();
        ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
        copy.advance(7'000);  // stage 7 starts the node
        // The node says why and ends; only then does the blockcounter look for it.
        ASSERT_TRUE(waitUntil(
            [&] {
                const auto text = slurp(node.layout.nodeOutput());
                return text && text->find("Error:") != std::string::npos &&
                       idsOf(copy.platform, name, {}).empty();
            },
            30s))
            << slurp(node.layout.nodeOutput()).value_or("(no output file)");
        copy.advance(6'000);
        auto said = c.said;
        if (auto at = said.find("<chain>"); at != std::string::npos) said.replace(at, 7, f.chainFolder);
        EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(),
                  "!!! BC - QT / DAEMON ERROR - THE NODE SAID: " + said + " - CONTINUING... !!!");
        copy.advance(60'000);
        EXPECT_NE(w.LOG_FILE_OUTPUT_TEXTBOX.text().find("DAEMON LAST OUTPUT: " + said), std::string::npos)
            << w.LOG_FILE_OUTPUT_TEXTBOX.text();
    }
}

TEST(OwnNode, TheQtWalletStartedThroughDebiansWrapperIsWatchedAsTheProgramItBecomes) {
    if (!litecoinInstalled() || !fs::exists(qtWrapper) || !fs::exists("/usr/lib/litecoin/litecoin-qt"))
        GTEST_SKIP() << "Debian's litecoin-qt is not installed";
    ScratchDir dir;
    // The wrapper makes ~/.litecoin: a HOME of our own. The wallet needs no display offscreen.
    fs::create_directories(dir / "home");
    EnvChange homeChange("HOME", dir / "home");
    EnvChange display("QT_QPA_PLATFORM", "offscreen");
    RealCopy copy("LTC.qt");
    NodeCommandFields f;
    f.qtFolder = "/usr/bin";
    f.qtName = "litecoin";  // the wrapper, as a user picks it from the menu entry's command
    f.daemonFolder = "/usr/bin";
    f.cliName = "litecoin-cli";
    CopyNode node(dir, copy.platform, "LTC.qt", f);
    // Any node of another test or user is another litecoin-qt: only the data folder tells,
    // and only ours is ended if the test stops half-way.
    struct EndOurs {
        ~EndOurs() {
            const auto pid = static_cast<pid_t>(pidIn(node.pidFile()));
            const auto line = slurp("/proc/" + std::to_string(pid) + "/cmdline");
            if (pid > 0 && line && line->find(node.fields.chainFolder) != std::string::npos)
                ::kill(pid, SIGKILL);
        }
        CopyNode& node;
    } end{node};
    copy.put("QT_NAME_TEXTBOX", "litecoin");
    copy.put("SW_QT_COMMAND_TEXTBOX", node.commands.qt);
    auto& w = copy.app.start<MainWindow>();
    ASSERT_TRUE(node.start(Script::RunQt));
    ASSERT_TRUE(copy.tickUntil(
        [&] { return w.PROCESS_TEXTBOX_1.back() == colour::green && fs::exists(node.pidFile()); }, 60s))
        << w.PROCESS_TEXTBOX_1.toolTip() << "\n"
        << slurp(node.layout.nodeOutput()).value_or("");
    EXPECT_EQ(w.processWatch.ownNodeProcesses(),
              "litecoin-qt (PID " + std::to_string(pidIn(node.pidFile())) + ")");
    ASSERT_TRUE(waitUntil([&] { return node.answers(); }, 60s)) << node.run(Script::RunBlockcounter).output;
    ASSERT_TRUE(node.run(Script::RunCliStop).ok());
    EXPECT_TRUE(copy.tickUntil([&] { return w.PROCESS_TEXTBOX_1.back() == colour::red; }, 60s));
}

TEST(OwnNode, TheKeptOutputIsCutInPlaceWhileTheNodeWritesOn) {
    // A fast writer stands in for a node printing its log: the file is cut under it many
    // times, and whatever it writes goes on landing at the end, never into a hole.
    ScratchDir dir;
    PosixPlatform platform;
    const auto output = dir / "NODE-OUTPUT.LOG";
    const auto writer = dir / "writer.sh";
    simtest::writeFile(writer,
                       "i=0; while [ $i -lt 100000 ]; do echo \"line $i\"; i=$((i+1)); done; echo last\n");
    ASSERT_TRUE(platform.runScriptKeepingOutput(writer, WindowStyle::Hidden, output));
    int cuts = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto size = fs::exists(output) ? fs::file_size(output) : 0;
            if (size > 64 * 1024) ++cuts;
            EXPECT_TRUE(platform.trimFile(output, 64 * 1024, 16 * 1024));
            return slurp(output).value_or("").ends_with("last\n");
        },
        120s));
    EXPECT_GT(cuts, 0);
    ASSERT_TRUE(platform.trimFile(output, 64 * 1024, 16 * 1024));
    const auto text = simtest::readFile(output);
    EXPECT_LE(text.size(), 64u * 1024);
    EXPECT_EQ(text.find('\0'), std::string::npos);
    for (const auto& line : linesOf(text)) EXPECT_TRUE(line == "last" || line.starts_with("line ")) << line;
}

}  // namespace pd::test
