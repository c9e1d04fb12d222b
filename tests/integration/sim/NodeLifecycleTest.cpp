// The node's life: loading, catching up, holding still, stopping, and
// picking up where it left off.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "SimHarness.hpp"
#include "TestSettings.hpp"

namespace fs = std::filesystem;
using namespace simtest;

TEST(NodeLifecycle, CatchesUpToTargetThenReadingsStayEqual) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_RATE", "150"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();

    // Readings rise while catching up...
    auto first = node.blockCount();
    ASSERT_TRUE(first);
    EXPECT_GE(*first, 1000);
    EXPECT_LT(*first, 1100);
    ASSERT_TRUE(node.waitUntilChanged(*first));

    // ...and become identical once the target is reached.
    ASSERT_TRUE(node.waitHeight(1100));
    for (int i = 0; i < 3; ++i) {
        auto r = node.cli({"getblockcount"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, "1100\n");
        EXPECT_EQ(r.err, "");
    }
    auto info = node.cli({"getblockchaininfo"});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("\"blocks\": 1100,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"headers\": 1100,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"initialblockdownload\": false"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"verificationprogress\": 1,"), std::string::npos) << info.out;
    EXPECT_TRUE(info.out.starts_with("{\n  \"")) << "objects are pretty-printed: " << info.out;
}

TEST(NodeLifecycle, ReportsCatchingUpInBlockchainInfo) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_RATE", "5"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto info = node.cli({"getblockchaininfo"});
    ASSERT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("\"headers\": 1100,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"initialblockdownload\": true"), std::string::npos) << info.out;
}

TEST(NodeLifecycle, StopAnswersAtOnceAndProcessEndsAfterItsDelay) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_STOP_DELAY", "0.8"}}));
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
    ASSERT_TRUE(fs::exists(node.datadir() + "/simcoind.pid"));

    auto before = std::chrono::steady_clock::now();
    auto r = node.cli({"stop"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "Simcoin server stopping\n");
    EXPECT_LT(r.elapsed, 700ms) << "stop answers before shutting down";

    auto status = node.process().waitExit(5s);
    auto took = std::chrono::steady_clock::now() - before;
    ASSERT_TRUE(status) << "node did not exit";
    EXPECT_EQ(*status, 0);
    EXPECT_GE(took, 800ms) << "the node lingers for its stop delay";
    EXPECT_EQ(node.savedHeight(), 1100);
    EXPECT_FALSE(fs::exists(node.datadir() + "/simcoind.pid")) << "a clean stop removes the pid file";
    EXPECT_NE(readFile(node.datadir() + "/debug.log").find("Shutdown: done"), std::string::npos);
}

TEST(NodeLifecycle, RpcIsGoneWhileTheNodeIsStillShuttingDown) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_STOP_DELAY", "3"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    // As with a real node, the client cannot connect any more although the
    // process is still there: the caller has to watch the process.
    Result r;
    ASSERT_TRUE(waitUntil([&] { return (r = node.cli({"getblockcount"})).status == 1; }, 2s));
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Could not connect to the server 127.0.0.1:" + std::to_string(node.port())),
              std::string::npos);
    EXPECT_TRUE(node.process().running());
    EXPECT_EQ(node.process().waitExit(6s), 0);
}

TEST(NodeLifecycle, SigtermStopsCleanlyAndSavesHeight) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_RATE", "20"}, {"SIMCOIN_TARGET", "100000"}}));
    ASSERT_TRUE(node.waitHeight(1005)) << node.stderrText();
    node.process().signal(SIGTERM);
    ASSERT_EQ(node.process().waitExit(5s), 0);
    auto saved = node.savedHeight();
    ASSERT_TRUE(saved);
    EXPECT_GE(*saved, 1005);
    EXPECT_LT(*saved, 100000);
}

TEST(NodeLifecycle, SigintStopsCleanly) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    node.process().signal(SIGINT);
    EXPECT_EQ(node.process().waitExit(5s), 0);
}

TEST(NodeLifecycle, HeightIsKeptAcrossRestart) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_TARGET", "1050"}}));
    ASSERT_TRUE(node.waitHeight(1050)) << node.stderrText();
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);
    EXPECT_EQ(node.savedHeight(), 1050);

    // The start height setting applies to a new data folder only; a rate of
    // zero keeps the restarted chain exactly where the folder left it.
    node.start(fastEnv({{"SIMCOIN_START_HEIGHT", "5"}, {"SIMCOIN_RATE", "0"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    EXPECT_EQ(node.blockCount(), 1050);
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);

    node.start(fastEnv());
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
}

TEST(NodeLifecycle, RelativeTargetPutsEveryStartBehind) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_TARGET", "+20"}}));
    ASSERT_TRUE(node.waitHeight(1020)) << node.stderrText();
    EXPECT_EQ(node.blockCount(), 1020);
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);
    node.start(fastEnv({{"SIMCOIN_TARGET", "+20"}}));
    ASSERT_TRUE(node.waitHeight(1040)) << node.stderrText();
    EXPECT_EQ(node.blockCount(), 1040);
}

TEST(NodeLifecycle, BlocksFolderGrowsByBytesPerBlock) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_BYTES_PER_BLOCK", "1000"}, {"SIMCOIN_RATE", "100"}}));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto early = folderSize(node.datadir() + "/blocks");
    ASSERT_TRUE(node.waitHeight(1100));
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);
    EXPECT_LT(early, 100u * 1000u);
    EXPECT_EQ(folderSize(node.datadir() + "/blocks"), 100u * 1000u);
    EXPECT_TRUE(fs::exists(node.datadir() + "/blocks/blk00000.dat"));
}

TEST(NodeLifecycle, SecondNodeOnSameDataFolderRefuses) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto second =
        run(binary("simcoind"), {"-conf=" + node.confPath(), "-datadir=" + node.datadir()}, fastEnv());
    EXPECT_NE(second.status, 0);
    EXPECT_NE(second.err.find("Cannot obtain a lock on data directory"), std::string::npos) << second.err;
    EXPECT_TRUE(node.process().running()) << "the first node is unaffected";
    EXPECT_TRUE(node.blockCount());
}

TEST(NodeLifecycle, ProcessIsNamedAfterItsPersonality) {
    for (std::string program : {"simcoind", "simcoin-qt"}) {
        ScratchDir dir;
        Node node(dir);
        node.start(Node::Setup(fastEnv()).as(program));
        ASSERT_TRUE(node.waitReady()) << node.stderrText();
        EXPECT_EQ(node.process().comm(), program);
        ASSERT_EQ(node.cli({"stop"}).status, 0);
        EXPECT_EQ(node.process().waitExit(5s), 0);
    }
}

TEST(NodeLifecycle, ALinkUnderAnyNameTakesThePersonalityOfItsEnding) {
    // Tests give their node a name of its own, so no other node on the machine is taken for it.
    for (std::string program : {"sc-e2e-4711d", "sc-e2e-4711-qt"}) {
        ScratchDir dir;
        fs::create_symlink(binary("simcoin"), dir / program);
        fs::create_symlink(binary("simcoin"), dir / "sc-e2e-4711-cli");
        Node node(dir);
        node.start(Node::Setup(fastEnv()).as(dir / program));
        ASSERT_TRUE(node.waitReady()) << node.stderrText();
        EXPECT_EQ(node.process().comm(), program);
        auto count = run(dir / "sc-e2e-4711-cli", {"-conf=" + node.confPath(), "getblockcount"});
        EXPECT_EQ(count.status, 0) << count.err;
        ASSERT_EQ(node.cli({"stop"}).status, 0);
        EXPECT_EQ(node.process().waitExit(5s), 0);
    }
}

TEST(NodeLifecycle, QtStandInServesLikeTheDaemon) {
    ScratchDir dir;
    Node node(dir);
    node.start(Node::Setup(fastEnv()).as("simcoin-qt").withArgs({"-disablewallet=0", "-server=1", "-min"}));
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
    auto log = readFile(node.datadir() + "/debug.log");
    EXPECT_NE(log.find("Command-line arg: disablewallet=0"), std::string::npos);
    EXPECT_NE(log.find("Ignoring unknown command-line option -min"), std::string::npos);
}

TEST(NodeLifecycle, OddCharactersInPathsAreFine) {
    ScratchDir dir;
    Node node(dir, "it's a \"data\" dir $HOME ; & (x)");
    node.start(Node::Setup(fastEnv()).withArgs({"-disablewallet=1"}));
    ASSERT_TRUE(node.waitHeight(1100)) << node.stderrText();
    EXPECT_TRUE(fs::exists(node.datadir() + "/debug.log"));
    EXPECT_EQ(node.savedHeight(), 1100);
    EXPECT_NE(node.confPath().find(' '), std::string::npos);
}

TEST(NodeLifecycle, EnvironmentWinsOverDataFolderSettings) {
    ScratchDir dir;
    Node node(dir);
    writeFile(node.datadir() + "/simcoin.conf", "# simulation\ntarget=1030\nrate=400\nstartup_delay=0.1\n");
    Env env = fastEnv();
    env.erase("SIMCOIN_TARGET");
    node.start(env);
    ASSERT_TRUE(node.waitHeight(1030)) << node.stderrText();
    EXPECT_EQ(node.blockCount(), 1030) << "the data folder's target applies";
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);

    node.start(fastEnv({{"SIMCOIN_TARGET", "1060"}}));
    ASSERT_TRUE(node.waitHeight(1060)) << node.stderrText();
    EXPECT_EQ(node.blockCount(), 1060) << "the environment overrides the data folder";
}

TEST(NodeLifecycle, DaemonOptionDetaches) {
    ScratchDir dir;
    Node node(dir);
    node.start(Node::Setup(fastEnv()).withArgs({"-daemon=1"}));
    // The started process returns at once while the node carries on.
    ASSERT_EQ(node.process().waitExit(5s), 0);
    ASSERT_TRUE(node.waitHeight(1100));
    pid_t pid = std::stoi(readFile(node.datadir() + "/simcoind.pid"));
    // The detached node is not our child: make sure it dies with the test.
    struct KillAtEnd {
        pid_t pid;
        ~KillAtEnd() {
            if (pidAlive(pid)) ::kill(pid, SIGKILL);
        }
    } killAtEnd{pid};
    EXPECT_EQ(readFile("/proc/" + std::to_string(pid) + "/comm"), "simcoind\n");
    ASSERT_EQ(node.cli({"stop"}).status, 0);
    EXPECT_TRUE(waitUntil([&] { return !pidAlive(pid); }, 5s));
}
