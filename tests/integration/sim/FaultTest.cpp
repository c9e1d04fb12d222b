// The faults a test of the caller can switch on: a crash, a node that will
// not stop, a client that hangs, a chain that stops short of its target.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "SimHarness.hpp"
#include "TestSettings.hpp"

namespace fs = std::filesystem;
using namespace simtest;

TEST(Faults, CrashAtHeightExitsWithStatusOne) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_CRASH_AT", "1050"}, {"SIMCOIN_RATE", "100"}}));
    auto status = node.process().waitExit(10s);
    ASSERT_TRUE(status) << "node did not crash";
    EXPECT_EQ(*status, 1);
    EXPECT_EQ(node.savedHeight(), 1050);
    EXPECT_TRUE(fs::exists(node.datadir() + "/simcoind.pid")) << "a crash leaves the pid file behind";
    auto r = node.cli({"getblockcount"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");

    // A node started past the crash height carries on (the lock died with
    // the crashed process).
    node.start(fastEnv({{"SIMCOIN_CRASH_AT", "1050"}}));
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
}

TEST(Faults, CrashAtHeightFromTheDataFolderSettings) {
    ScratchDir dir;
    Node node(dir);
    writeFile(node.datadir() + "/simcoin.conf", "crash_at=1010\n");
    node.start(fastEnv());
    EXPECT_EQ(node.process().waitExit(10s), 1);
    EXPECT_EQ(node.savedHeight(), 1010);
}

TEST(Faults, NeverStopAnswersStopButKeepsRunning) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_NEVER_STOP", "1"}, {"SIMCOIN_STOP_DELAY", "0.1"}}));
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
    auto r = node.cli({"stop"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Simcoin server stopping\n");
    // Well past the stop delay it is still there and still answering.
    EXPECT_FALSE(node.process().waitExit(1500ms));
    EXPECT_EQ(node.blockCount(), 1100);
    // A signal still stops it.
    node.process().signal(SIGTERM);
    EXPECT_EQ(node.process().waitExit(5s), 0);
}

TEST(Faults, NeverStopLevelTwoIgnoresSignalsToo) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_NEVER_STOP", "2"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    EXPECT_EQ(node.cli({"stop"}).status, 0);
    node.process().signal(SIGTERM);
    node.process().signal(SIGINT);
    EXPECT_FALSE(node.process().waitExit(1s));
    EXPECT_TRUE(node.blockCount());
    node.process().signal(SIGKILL);
    EXPECT_EQ(node.process().waitExit(5s), 128 + SIGKILL);
}

TEST(Faults, ClientHangsBeforeDoingAnything) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();

    auto r = node.cli({"getblockcount"}, {{"SIMCOIN_CLI_HANG", "1.2"}});
    EXPECT_EQ(r.status, 0);
    EXPECT_GE(r.elapsed, 1200ms);
    EXPECT_GE(std::stoll(r.out), 1000);

    // A caller that gives up on the hung client kills it; nothing was printed.
    auto killed = node.cli({"getblockcount"}, {{"SIMCOIN_CLI_HANG", "30"}}, 500ms);
    EXPECT_EQ(killed.status, -1);
    EXPECT_EQ(killed.out, "");
}

TEST(Faults, ClientHangFromTheDataFolderNeedsDatadir) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    writeFile(node.datadir() + "/simcoin.conf", "cli_hang=1\n");
    auto withDatadir = node.cli({"-datadir=" + node.datadir(), "getblockcount"});
    EXPECT_EQ(withDatadir.status, 0);
    EXPECT_GE(withDatadir.elapsed, 1000ms);
    auto without = node.cli({"getblockcount"});
    EXPECT_EQ(without.status, 0);
    EXPECT_LT(without.elapsed, 1000ms);
    // The environment wins over the file.
    auto envOff = node.cli({"-datadir=" + node.datadir(), "getblockcount"}, {{"SIMCOIN_CLI_HANG", "0"}});
    EXPECT_LT(envOff.elapsed, 1000ms);
}

TEST(Faults, HangingClientIsNamedAfterItsPersonality) {
    ScratchDir dir;
    Process cli(binary("simcoin-cli"), {"getblockcount"}, {{"SIMCOIN_CLI_HANG", "30"}}, dir / "out",
                dir / "err");
    ASSERT_TRUE(waitUntil([&] { return cli.comm() == "simcoin-cli"; }, 2s)) << cli.comm();
    cli.signal(SIGKILL);
    EXPECT_EQ(cli.waitExit(5s), 128 + SIGKILL);
}

// The two stuck nodes as a client sees them: the height holds below the headers and the
// node stays in its initial download; without peers it has no connections, stalled it has
// its peers and their headers keep arriving.
TEST(Faults, StuckNodesHoldBelowTheirHeaders) {
    struct Case {
        const char* variable;
        const char* connections;
        bool headersRise;
    };
    for (const auto& c : {Case{"SIMCOIN_STUCK_AT", "0\n", false}, Case{"SIMCOIN_STALL_AT", "8\n", true}}) {
        SCOPED_TRACE(c.variable);
        ScratchDir dir;
        Node node(dir);
        node.start(fastEnv({{c.variable, "1040"}}));
        ASSERT_TRUE(node.waitHeight(1040)) << node.stderrText();
        // It never gets further: readings stay equal, well past when the
        // target would have been reached.
        EXPECT_FALSE(waitUntil([&] { return node.blockCount() != 1040; }, 700ms));
        auto info = node.cli({"getblockchaininfo"});
        EXPECT_NE(info.out.find("\"blocks\": 1040,"), std::string::npos) << info.out;
        EXPECT_NE(info.out.find("\"initialblockdownload\": true"), std::string::npos) << info.out;
        auto headers = [&] {
            auto out = node.cli({"getblockchaininfo"}).out;
            auto at = out.find("\"headers\": ");
            return at == std::string::npos ? -1 : std::stoll(out.substr(at + 11));
        };
        const auto first = headers();
        EXPECT_GT(first, 1040);
        EXPECT_EQ(waitUntil([&] { return headers() > first; }, 700ms), c.headersRise);
        EXPECT_EQ(node.cli({"getconnectioncount"}).out, c.connections);
        ASSERT_EQ(node.cli({"stop"}).status, 0);
        ASSERT_EQ(node.process().waitExit(5s), 0);
        EXPECT_EQ(node.savedHeight(), 1040);
    }
}
