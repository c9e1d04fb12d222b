// Debian's real node (litecoind, litecoin-qt, litecoin-cli 0.21) started through a copy's own
// scripts: which process is the copy's node, what a node said when it would not start, and
// the cli's credentials when the conf holds rpcauth alone. Each node runs in regtest on free
// loopback ports with a conf and data folder of its own, as a copy of the program under a
// name of this test's own, or (the wrapper) found by its data folder alone.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "PlatformTestSupport.hpp"
#include "confgen/TestCredentials.hpp"
#include "core/ShellQuote.hpp"
#include "main/NodeOutput.hpp"
#include "main/ProcessWatch.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "settings/NodeCommands.hpp"
#include "sim/SimHarness.hpp"

namespace pd::test {

namespace fs = std::filesystem;
using simtest::ScratchDir;

namespace {

bool litecoinInstalled() {
    return fs::exists("/usr/lib/litecoin/litecoind") && fs::exists("/usr/bin/litecoin-cli");
}

// One copy's node as the crypto settings leave it: a conf with rpcauth only (the conf
// generator's recommended route), a data folder, and the scripts of its commands.
struct CopyNode {
    CopyNode(const ScratchDir& dir, PosixPlatform& platform, const std::string& exe, NodeCommandFields f)
        : platform(platform), layout(profile, dir / (exe + " home"), exe) {
        f.home = dir / (exe + " home");
        f.exe = exe;
        if (f.chainFolder.empty()) fs::create_directories(f.chainFolder = dir / (exe + " chain"));
        for (auto folder : homeFolders) fs::create_directories(layout.folder(folder));
        f.conf = layout.cryptoConfig();
        simtest::writeFile(
            f.conf, "server=1\nlisten=0\nrpcauth=" + std::string(testCredentialSets()[0].rpcauth) +
                        "\nregtest=1\n[regtest]\nconnect=0\nport=" + std::to_string(simtest::freePort()) +
                        "\nrpcport=" + std::to_string(simtest::freePort()) + "\n");
        fields = f;
        commands = buildNodeCommands(profile, f);
        for (const auto& [script, command] : std::initializer_list<std::pair<Script, std::string>>{
                 {Script::RunQt, commands.qt},
                 {Script::RunDaemon, commands.daemon},
                 {Script::RunCliStop, commands.cliStop},
                 {Script::RunBlockcounter, commands.blockcount}})
            platform.writeFile(layout.script(script), command + "\n", true, false);
    }
    Outcome start(Script node) {
        return platform.runScriptKeepingOutput(layout.script(node), WindowStyle::Hidden, layout.nodeOutput());
    }
    CommandResult run(Script script) {
        return platform.runAndWait("/bin/sh " + shQuoted(layout.script(script)));
    }
    // The node answers its block count through the copy's own script.
    bool answers() {
        return run(Script::RunBlockcounter).ok() && simtest::readFile(layout.latestBlockcount()) == "0\n";
    }
    ProcessId pid() const { return pidIn(fields.chainFolder + "/regtest/bitcoind.pid"); }
    // The processes of that name the watch counts as this copy's (its qt and daemon commands
    // name the same data folder).
    std::vector<ProcessId> seen(const std::string& name) {
        auto table = platform.processes();
        return table ? table->idsOf(name, ProcessWatch::ownArguments(profile, commands.qt))
                     : std::vector<ProcessId>();
    }

    Profile profile = posixProfile("/nonexistent");
    PosixPlatform& platform;
    HomeLayout layout;
    NodeCommandFields fields;
    NodeCommands commands;
};

}  // namespace

TEST(OwnNode, CopiesOfOneCoinSeeOnlyTheirOwnNodeReachItWithRpcauthAloneAndKeepWhatItSaid) {
    if (!litecoinInstalled()) GTEST_SKIP() << "Debian's litecoind is not installed";
    ScratchDir dir;
    PosixPlatform platform;
    NodeCommandFields f;
    f.daemonFolder = f.qtFolder = dir.path();
    f.daemonName = "pdown" + std::to_string(::getpid()) + "d";
    f.cliName = "litecoin-cli";
    fs::copy_file("/usr/lib/litecoin/litecoind", dir / f.daemonName);
    fs::copy_file("/usr/bin/litecoin-cli", dir / f.cliName);
    ::chmod((dir / f.daemonName).c_str(), 0755);
    struct EndOurs {
        ~EndOurs() { platform.terminateByName(name); }
        PosixPlatform& platform;
        std::string name;
    } end{platform, f.daemonName};
    CopyNode main(dir, platform, "LTC.main", f), test(dir, platform, "LTC.test", f);
    f.chainFolder = dir / "no such chain";
    CopyNode refused(dir, platform, "LTC.bad", f);
    for (auto* node : {&main, &test, &refused}) ASSERT_TRUE(node->start(Script::RunDaemon));

    // The conf holds no password: the cli finds the cookie in the node's data folder.
    for (auto* node : {&main, &test})
        ASSERT_TRUE(waitUntil([&] { return node->answers(); }, 60s))
            << node->run(Script::RunBlockcounter).output;
    ASSERT_EQ(main.seen(f.daemonName), std::vector<ProcessId>{main.pid()});
    ASSERT_EQ(test.seen(f.daemonName), std::vector<ProcessId>{test.pid()});
    ASSERT_TRUE(main.run(Script::RunCliStop).ok());
    EXPECT_TRUE(waitUntil([&] { return main.seen(f.daemonName).empty(); }, 60s));
    EXPECT_EQ(test.seen(f.daemonName), std::vector<ProcessId>{test.pid()});  // runs on, not taken for main's
    ASSERT_TRUE(test.run(Script::RunCliStop).ok());

    // Each node's output is kept, to its last words.
    EXPECT_TRUE(
        NodeOutput::lastLineOfStart(simtest::readFile(main.layout.nodeOutput())).ends_with("Shutdown: done"));
    EXPECT_EQ(NodeOutput::lastLineOfStart(simtest::readFile(refused.layout.nodeOutput())),
              "Error: Specified data directory \"" + f.chainFolder + "\" does not exist.");
}

TEST(OwnNode, TheQtWalletStartedThroughDebiansWrapperIsWatchedAsTheProgramItBecomes) {
    if (!litecoinInstalled() || !fs::exists("/usr/bin/litecoin") ||
        !fs::exists("/usr/lib/litecoin/litecoin-qt"))
        GTEST_SKIP() << "Debian's litecoin-qt is not installed";
    ScratchDir dir;
    fs::create_directories(dir / "home");
    EnvChange home("HOME", dir / "home");  // the wrapper makes ~/.litecoin
    EnvChange display("QT_QPA_PLATFORM", "offscreen");
    PosixPlatform platform;
    NodeCommandFields f;
    f.qtFolder = f.daemonFolder = "/usr/bin";
    f.qtName = "litecoin";  // the wrapper, as the menu entry runs it
    f.cliName = "litecoin-cli";
    CopyNode node(dir, platform, "LTC.qt", f);
    // Another user's litecoin-qt may run too: only ours is ended if the test stops half-way.
    struct EndOurs {
        ~EndOurs() {
            if (!node.seen("litecoin-qt").empty()) ::kill(static_cast<pid_t>(node.pid()), SIGKILL);
        }
        CopyNode& node;
    } end{node};
    ASSERT_EQ(ProcessWatch::programAWrapperStarts(*platform.readFile("/usr/bin/litecoin")), "litecoin-qt");
    ASSERT_TRUE(node.start(Script::RunQt));
    ASSERT_TRUE(waitUntil([&] { return node.answers(); }, 60s)) << node.run(Script::RunBlockcounter).output;
    EXPECT_EQ(node.seen("litecoin-qt"), std::vector<ProcessId>{node.pid()});
    EXPECT_TRUE(node.seen("litecoin").empty());
    ASSERT_TRUE(node.run(Script::RunCliStop).ok());
    EXPECT_TRUE(waitUntil([&] { return node.seen("litecoin-qt").empty(); }, 60s));
}

TEST(OwnNode, TheKeptOutputIsCutInPlaceWhileTheNodeWritesOn) {
    // A fast writer stands in for a node printing its log: cut under it again and again, the
    // file takes what it writes at its end, never past a hole.
    ScratchDir dir;
    PosixPlatform platform;
    const auto output = dir / "NODE-OUTPUT.LOG";
    simtest::writeFile(dir / "w.sh",
                       "for b in $(seq 40); do i=0; while [ $i -lt 2500 ]; do echo \"line $b $i\"; "
                       "i=$((i+1)); done; sleep 0.05; done; echo last\n");
    ASSERT_TRUE(platform.runScriptKeepingOutput(dir / "w.sh", WindowStyle::Hidden, output));
    int cuts = 0;
    std::string text;
    ASSERT_TRUE(waitUntil(
        [&] {
            text = slurp(output).value_or("");
            if (text.ends_with("last\n")) return true;
            cuts += text.size() > 64 * 1024;
            EXPECT_TRUE(platform.trimFile(output, 64 * 1024, 16 * 1024));
            return false;
        },
        120s));
    EXPECT_GT(cuts, 0);
    for (const auto& line : linesOf(text)) ASSERT_TRUE(line == "last" || line.starts_with("line ")) << line;
}

}  // namespace pd::test
