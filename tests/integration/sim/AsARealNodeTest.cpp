// Where Debian's litecoind 0.21 was seen to answer differently from the simulated node, the
// simulated node now answers as it does, so that the fast tests keep telling the truth:
// the warm-up, the initial block download, a node without any peer, the daemon's name while
// it shuts down. (The client's error texts are compared with the real client's in the
// real-node tests.)
#include <gtest/gtest.h>

#include <algorithm>

#include "SimHarness.hpp"
#include "TestSettings.hpp"

using namespace simtest;

namespace {

std::string member(const std::string& json, const std::string& name) {
    auto at = json.find("\"" + name + "\": ");
    if (at == std::string::npos) return "<none>";
    at += name.size() + 4;
    return json.substr(at, json.find_first_of(",\n", at) - at);
}

}  // namespace

// A real node's RPC port opens a moment after the start; then every call is answered -28
// with the stage of loading, in this order, until it is done.
TEST(AsARealNode, WarmsUpWithItsPortClosedThenThroughItsStagesOfLoading) {
    const std::vector<std::string> stages = {"Loading banlist...", "Loading block index...",
                                             "Verifying blocks...", "Loading P2P addresses...",
                                             "Starting network threads..."};
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_RPC_DELAY", "0.8"}, {"SIMCOIN_STARTUP_DELAY", "2.5"}}));
    auto first = node.cli({"getblockcount"});
    EXPECT_EQ(first.status, 1);
    EXPECT_TRUE(first.err.starts_with("error: Could not connect to the server 127.0.0.1:" +
                                      std::to_string(node.port()) + "\n\nMake sure the simcoind server"))
        << first.err;

    std::vector<std::string> seen;
    Result r;
    ASSERT_TRUE(waitUntil(
        [&] {
            r = node.cli({"getblockcount"});
            const std::string head = "error code: -28\nerror message:\n";
            if (r.status == 28 && r.err.starts_with(head)) {
                auto message = r.err.substr(head.size(), r.err.size() - head.size() - 1);
                if (seen.empty() || seen.back() != message) seen.push_back(message);
            }
            return r.status == 0;
        },
        10s, 50ms))
        << r.err;
    ASSERT_GE(seen.size(), 2u);
    auto at = stages.begin();
    for (const auto& message : seen) {
        at = std::find(at, stages.end(), message);
        ASSERT_NE(at, stages.end()) << message << " is not a stage, or came out of order";
    }
}

// A real node is in its initial block download until its tip is recent, and then never again
// while it runs; on a chain whose newest block is over a day old it stays in it even caught up.
// A node that never had a peer learns neither blocks nor headers.
TEST(AsARealNode, TellsItsInitialDownloadByTheAgeOfItsTip) {
    struct Case {
        const char* what;
        Env env;
        const char* blocks;
        const char* headers;
        const char* download;
        const char* peers;
    };
    const Case cases[] = {
        {"caught up, recent tip", {}, "1100", "1100", "false", "8\n"},
        {"caught up, tip over a day old", {{"SIMCOIN_OLD_TIP", "1"}}, "1100", "1100", "true", "8\n"},
        {"no peer ever, recent tip", {{"SIMCOIN_PEERS", "0"}}, "1000", "1000", "false", "0\n"},
        {"no peer ever, a new node",
         {{"SIMCOIN_PEERS", "0"}, {"SIMCOIN_OLD_TIP", "1"}},
         "1000",
         "1000",
         "true",
         "0\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        Node node(dir);
        node.start(fastEnv(c.env));
        ASSERT_TRUE(node.waitReady()) << node.stderrText();
        ASSERT_TRUE(waitUntil(
            [&] {
                auto info = node.cli({"getblockchaininfo"}).out;
                return member(info, "blocks") == c.blocks &&
                       member(info, "initialblockdownload") == c.download;
            },
            3s));
        // It stays so.
        EXPECT_FALSE(waitUntil([&] { return node.blockCount() != std::stoll(c.blocks); }, 500ms));
        const auto info = node.cli({"getblockchaininfo"}).out;
        EXPECT_EQ(member(info, "headers"), c.headers) << info;
        EXPECT_EQ(member(info, "initialblockdownload"), c.download) << info;
        EXPECT_EQ(node.cli({"getconnectioncount"}).out, c.peers);
    }
}

// The real daemon's process takes its shutdown thread's name, "b-shutoff", from the stop
// until it has gone; the wallet program keeps its own.
TEST(AsARealNode, TheDaemonIsListedUnderItsShutdownNameWhileItStops) {
    for (const std::string program : {"simcoind", "simcoin-qt"}) {
        SCOPED_TRACE(program);
        ScratchDir dir;
        Node node(dir);
        node.start(Node::Setup(fastEnv({{"SIMCOIN_STOP_DELAY", "1.5"}})).as(program));
        ASSERT_TRUE(node.waitReady()) << node.stderrText();
        EXPECT_EQ(node.process().comm(), program);
        ASSERT_EQ(node.cli({"stop"}).status, 0);
        EXPECT_EQ(node.process().comm(), program == "simcoind" ? "b-shutoff" : program);
        EXPECT_EQ(node.process().waitExit(5s), 0);
    }
}
