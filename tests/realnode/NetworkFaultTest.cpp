// Runs against Debian's real litecoind while the network around the node misbehaves: the
// peer comes and goes, the node warms up for long, the chain is reorganised, and a second
// copy of the same coin runs beside. Each run ends as the README's table of node failures
// says, which every test checks against its row.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "FailureTable.hpp"
#include "LitecoinPair.hpp"
#include "Says.hpp"

namespace pd::test {

using namespace ltc;
namespace fs = std::filesystem;

namespace {

constexpr auto runLimit = std::chrono::minutes(6);

// A peer holding BLOCKS blocks and the cable to it, at most BYTES_PER_SECOND (0: at full speed).
struct Source {
    Source(World& world, long long blocks, long bytesPerSecond = 0, char which = 'a')
        : peer(world, which), height(peer.mine(blocks)), link(world.dir(), peer.p2pPort(), bytesPerSecond) {}
    Peer peer;
    long long height;
    Link link;
};

// A copy that catches up through SOURCE's cable, with STALL as its stall limit, mailing its end
// report to a sink of its own.
struct Mailing {
    Mailing(World& world, Source& source, const std::string& stall, const std::string& exe = "LTC.main",
            char name = 'b')
        : sink(world.dir()),
          copy(world, {.exe = exe,
                       .name = name,
                       .peer = source.link.port(),
                       .extraSections = "[PACEDECK_CRYPTO_SETTINGS]\nSTALL_LIMIT_TEXTBOX = " + stall +
                                        "\npress = SAVE_BUTTON\n" + mailToSink(sink),
                       .extraTicks = "TASK_17_ENABLE_TICKBOX = 1\n"}) {}

    // Checks the run against the README's row HAPPENED, with the subject of its end mail.
    void expectRow(std::string_view happened) {
        ASSERT_TRUE(sink.waitForMessages(1)) << "no end mail";
        failures::expectAsTheReadmeSays(happened, copy.statuses(), copy.stamp("MULTILOADER_LAST_RUN_TEXTBOX"),
                                        failures::subjectOf(sink.messages().back()));
    }
    // The end report's AFTER.
    long long reportedHeight() const {
        return std::atoll(after(lines(copy.report()), says::afterTitle).c_str());
    }

    SmtpSink sink;
    Copy copy;
};

std::string shown(const std::vector<std::string>& statuses) {
    std::string out;
    for (const auto& s : statuses) out += "\n  " + s;
    return out;
}

std::string bestBlock(const Node& node) {
    return node.cli({"getbestblockhash"}).out;
}

}  // namespace

// A's cable is cut and plugged again every 20 s while B catches up through it slowly. Each
// cut holds the height for about 20 s and the reconnection a few more: under the 45 s stall
// limit, which a clock counting from anything but the last rise would overrun, the catch-up
// spanning several flaps.
TEST(NetworkFault, APeerThatComesAndGoesIsWaitedFor) {
    World world;
    Source a(world, 1100, 8000);
    Mailing b(world, a, "00:00:45");

    const auto began = std::chrono::steady_clock::now();
    int cutsMidSync = 0;
    bool plugged = true;
    ASSERT_TRUE(b.copy.runToTheEnd(runLimit,
                                   [&] {
                                       const bool plug =
                                           (std::chrono::steady_clock::now() - began) / 20s % 2 == 0;
                                       if (plug == plugged) return;
                                       plugged = plug;
                                       if (plug) return a.link.plug();
                                       a.link.cut();
                                       const auto s = b.copy.node().state();
                                       if (s && s->blocks < a.height) ++cutsMidSync;
                                   }))
        << b.copy.live().status() << shown(b.copy.statuses());
    EXPECT_GE(cutsMidSync, 2) << "the catch-up did not span several flaps";
    b.expectRow("Its peer came and went every 20 s while it caught up");
    for (const auto& status : b.copy.statuses()) EXPECT_FALSE(says::stuck(status)) << status;
    EXPECT_EQ(b.reportedHeight(), a.height) << b.copy.report();
}

// B's conf asks the node to verify every block of its chain before it answers, and the node
// has a quarter of a processor meanwhile (stopped three tenths of a second in every four), as
// on a slow machine: the warm-up outlasts several polls. (The -28 of a reindexed chainstate
// lasts under a second here: the node rebuilds it with its RPC already up.) The run polls
// through the warm-up, within the stall limit, and goes on to success.
TEST(NetworkFault, ANodeWarmingUpForLongIsWaitedFor) {
    World world;
    Source a(world, 3000);
    Mailing b(world, a, "00:01:30");
    // B starts with A's chain, as a node that was caught up before.
    ASSERT_TRUE(a.peer.node().stop());
    fs::create_directories(b.copy.datadir + "/regtest");
    for (const auto* folder : {"/regtest/blocks", "/regtest/chainstate"})
        fs::copy(a.peer.node().datadir() + folder, b.copy.datadir + folder, fs::copy_options::recursive);
    a.peer.node().start();
    ASSERT_TRUE(a.peer.node().waitReady());
    std::ofstream(b.copy.conf, std::ios::app) << "checkblocks=0\nchecklevel=4\n";

    const auto log = b.copy.datadir + "/regtest/debug.log";
    bool warm = false;
    ASSERT_TRUE(b.copy.runToTheEnd(
        runLimit,
        [&] {
            const auto node = b.copy.nodePid();
            if (warm || !node) return;
            warm = simtest::readFile(log).find("init message: Done loading") != std::string::npos;
            const auto phase = std::chrono::steady_clock::now().time_since_epoch() % 400ms;
            ::kill(*node, !warm && phase >= 100ms ? SIGSTOP : SIGCONT);
        }))
        << b.copy.live().status() << shown(b.copy.statuses());
    ASSERT_TRUE(warm) << "the node never finished its warm-up";
    b.expectRow("It warmed up for a while before answering");
    EXPECT_EQ(b.reportedHeight(), a.height) << b.copy.report();
}

// B has caught up with A and its run has found two readings alike when A drops a block below
// B's tip and mines a longer chain from the block before it: the run does not take the old tip
// for the top, B leaves its blocks for the new ones (slowly, through a slow cable, so that the
// run sees it behind) and ends on A's new tip. (Dropped mid-sync, the blocks B has asked for
// are never sent, as A serves no block it holds invalid, and B stands still: a stuck node,
// rightly said so.)
TEST(NetworkFault, ARunFollowsTheChainReorganisedUnderIt) {
    World world;
    Source a(world, 500, 10000);
    Mailing b(world, a, "00:00:30");

    std::optional<long long> forkedAt;
    ASSERT_TRUE(b.copy.runToTheEnd(
        runLimit,
        [&] {
            if (forkedAt || b.copy.window().IDENTICAL_TEXTBOX.back() != colour::green) return;
            const auto s = b.copy.node().state();
            if (!s || s->blocks < a.height) return;
            forkedAt = a.height - 50;
            const auto dropped = a.peer.node().cli({"getblockhash", std::to_string(*forkedAt)}).out;
            ASSERT_EQ(a.peer.node().cli({"invalidateblock", dropped.substr(0, dropped.find('\n'))}).status,
                      0);
            // Another output script: the new blocks must differ from the dropped ones.
            const auto longer = std::to_string(a.height - *forkedAt + 501);
            ASSERT_EQ(a.peer.node().cli({"generatetodescriptor", longer, "raw(52)"}, 300s).status, 0);
        }))
        << b.copy.live().status() << shown(b.copy.statuses());
    ASSERT_TRUE(forkedAt) << "the chain was never reorganised under the run";
    const auto top = a.peer.node().state();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->blocks, a.height + 500);
    b.expectRow("Its peer's chain was reorganised under the run");
    EXPECT_EQ(b.reportedHeight(), top->blocks) << b.copy.report();
    b.copy.node().start();
    ASSERT_TRUE(b.copy.node().waitReady());
    EXPECT_EQ(bestBlock(b.copy.node()), bestBlock(a.peer.node()));
}

// "LTC.main" and "LTC.test" run at once, their nodes the same program on chains of their
// own. The first run to end stops its own node alone: the other's node runs on until its own
// run stops it.
TEST(NetworkFault, TwoCopiesOfOneCoinEachStopTheirOwnNode) {
    World world;
    Source mainChain(world, 600);
    Source testChain(world, 900, 5000, 'z');
    Mailing b(world, mainChain, "00:00:30", "LTC.main", 'b');
    Mailing c(world, testChain, "00:00:30", "LTC.test", 'b');
    ASSERT_EQ(fs::path(b.copy.program()).filename(), fs::path(c.copy.program()).filename());

    std::optional<bool> otherRanOn;
    ASSERT_TRUE(Copy::runSideBySide({&b.copy, &c.copy}, runLimit,
                                    [&] {
                                        if (!otherRanOn && b.copy.ended() != c.copy.ended())
                                            otherRanOn =
                                                (b.copy.ended() ? c.copy : b.copy).nodePid().has_value();
                                    }))
        << b.copy.live().status() << shown(b.copy.statuses()) << "\n"
        << c.copy.live().status() << shown(c.copy.statuses());
    ASSERT_TRUE(otherRanOn) << "both runs ended at the same turn";
    EXPECT_TRUE(*otherRanOn) << "the first run to end stopped the other copy's node as well";
    b.expectRow("Two copies of one coin ran at once, each with its own node");
    c.expectRow("Two copies of one coin ran at once, each with its own node");
    EXPECT_EQ(b.reportedHeight(), mainChain.height) << b.copy.report();
    EXPECT_EQ(c.reportedHeight(), testChain.height) << c.copy.report();
    EXPECT_FALSE(b.copy.nodePid());
    EXPECT_FALSE(c.copy.nodePid());
}

}  // namespace pd::test
