// The ways a copy's own node process fails under a run, each made to happen to Debian's real
// litecoind and checked against its row of the README's table "What PACEDECK says when a node
// fails": the node killed or dying on a full write mid-sync, its password changed under it, its
// cli gone, its conf or data folder refused. Every run mails its end to a sink of its own.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "FailureTable.hpp"
#include "LitecoinPair.hpp"
#include "Says.hpp"

namespace pd::test {

using namespace ltc;
using simtest::readFile;
using simtest::writeFile;
namespace fs = std::filesystem;

namespace {

constexpr auto runLimit = std::chrono::minutes(5);
constexpr std::string_view polling = "!!! BLOCKCOUNTER - RUNNING GETBLOCKCOUNT !!!";

// A test's world with a mail sink, and the copy set up to give up after 30 s and mail its end.
struct Scene {
    World world;
    SmtpSink sink{world.dir()};

    CopySetup failing(std::uint16_t peer, const std::string& crypto = {}) {
        EXPECT_TRUE(sink.ready());
        return {.peer = peer,
                .extraSections = crypto + stallLimitSetup + mailToSink(sink),
                .extraTicks = "TASK_17_ENABLE_TICKBOX = 1\n"};
    }

    void expectRow(std::string_view row, Copy& copy) {
        ASSERT_TRUE(sink.waitForMessages(1));
        failures::expectAsTheReadmeSays(row, copy.statuses(), copy.stamp("MULTILOADER_LAST_RUN_TEXTBOX"),
                                        failures::subjectOf(sink.messages().back()));
    }
};

// The polls the run started before its first status holding MARK, and after it.
std::pair<long, long> pollsAround(const std::vector<std::string>& statuses, std::string_view mark) {
    const auto at = std::find_if(statuses.begin(), statuses.end(),
                                 [&](const std::string& s) { return s.find(mark) != std::string::npos; });
    return {std::count(statuses.begin(), at, polling), std::count(at, statuses.end(), polling)};
}

// Calls ACTION once, the first time CONDITION holds; CONDITION is looked at every 300 ms.
std::function<void()> once(std::function<bool()> condition, std::function<void()> action, bool& done) {
    auto next = std::make_shared<std::chrono::steady_clock::time_point>();
    return [=, &done] {
        if (done || std::chrono::steady_clock::now() < *next) return;
        *next = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        if (condition()) {
            action();
            done = true;
        }
    };
}

// The last line the node printed, as its kept output holds it.
std::string lastLineOf(const std::string& text) {
    auto end = text.find_last_not_of("\r\n ");
    if (end == std::string::npos) return {};
    return text.substr(text.find_last_of('\n', end) + 1, end - text.find_last_of('\n', end));
}

// A node that cannot start: the run must say what the node said, from its first look.
void expectRefusedStart(std::string_view row, const std::function<void(Copy&)>& spoil) {
    Scene s;
    Copy b(s.world, s.failing(0));
    spoil(b);
    ASSERT_TRUE(b.runToTheEnd(runLimit)) << b.live().status() << joined(b.statuses());
    s.expectRow(row, b);
    EXPECT_EQ(pollsAround(b.statuses(), "QT / DAEMON ERROR"), std::make_pair(0L, 0L)) << joined(b.statuses());
}

}  // namespace

// B catches up from A through a slow cable; its node is killed with SIGKILL half way.
TEST(NodeFault, ANodeKilledMidSyncIsANodeError) {
    Scene s;
    Peer a(s.world);
    ASSERT_EQ(a.mine(2000), 2000);
    Link link(s.world.dir(), a.p2pPort(), 40000);
    Copy b(s.world, s.failing(link.port()));

    // Killed once the run has read a height on the way up.
    bool killed = false;
    ASSERT_TRUE(b.runToTheEnd(
        runLimit, once(
                      [&] {
                          auto st = b.node().state();
                          return std::atoll(b.window().CURRENT_BLOCK_TEXTBOX.text().c_str()) > 0 && st &&
                                 st->headers == 2000 && st->blocks < 1800 && b.nodePid();
                      },
                      [&] { ::kill(*b.nodePid(), SIGKILL); }, killed)))
        << b.live().status() << joined(b.statuses());
    ASSERT_TRUE(killed) << "the node was never killed mid-sync";
    s.expectRow("Its node was killed mid-sync", b);
    const auto reached = std::atoll(after(lines(b.report()), says::afterTitle).c_str());
    EXPECT_TRUE(reached > 0 && reached < 2000) << b.report();
    EXPECT_EQ(pollsAround(b.statuses(), "QT / DAEMON ERROR").second, 0) << joined(b.statuses());
    EXPECT_FALSE(b.nodePid());
}

// B's node runs through a wrapper (as Debian's litecoin-qt does) that limits the size of
// every file it writes to a little past what its debug.log holds from an earlier run: it is
// killed by the kernel (SIGXFSZ) on the first write past it, mid-sync, without a word of its
// own beyond the last it logged.
TEST(NodeFault, ANodeThatDiesOnAFullWriteLeavesItsLastWords) {
    Scene s;
    Peer a(s.world);
    ASSERT_EQ(a.mine(1000), 1000);
    Link link(s.world.dir(), a.p2pPort(), 40000);
    const auto wrapper = s.world.name('b') + "w";
    Copy b(s.world, s.failing(link.port(), "[PACEDECK_CRYPTO_SETTINGS]\nDAEMOND_NAME_TEXTBOX = " + wrapper +
                                               "\npress = SAVE_BUTTON\n"));
    b.node().start();
    ASSERT_TRUE(b.node().waitFor([](const ChainState& st) { return st.blocks == 1000; }));
    ASSERT_TRUE(b.node().stop());
    ASSERT_EQ(a.mine(2000), 3000);
    const auto logged = fs::file_size(b.datadir + "/regtest/debug.log");
    writeFile(b.programs + "/" + wrapper, "#!/bin/sh\nulimit -f " + std::to_string((logged + 200'000) / 512) +
                                              "\nexec \"" + b.program() + "\" \"$@\"\n");
    fs::permissions(b.programs + "/" + wrapper, fs::perms::owner_all);

    bool seen = false;  // the run took the wrapped program for its own node
    ASSERT_TRUE(b.runToTheEnd(
        runLimit, once([&] { return b.window().PROCESS_TEXTBOX_2.back() == colour::green; }, [] {}, seen)))
        << b.live().status() << joined(b.statuses());
    EXPECT_TRUE(seen) << "the node started through the wrapper was never seen as this copy's";
    s.expectRow("Its node died on a full write mid-sync", b);
    const auto said = lastLineOf(readFile(b.home + "/LOGS/LTC.main-NODE-OUTPUT.LOG"));
    EXPECT_NE(said.find("UpdateTip"), std::string::npos) << said;
    const auto report = lines(b.report());
    EXPECT_NE(std::find(report.begin(), report.end(), "DAEMON LAST OUTPUT: " + said), report.end())
        << b.report();
    EXPECT_LT(std::atoll(after(report, says::afterTitle).c_str()), 3000) << b.report();
    EXPECT_EQ(pollsAround(b.statuses(), "QT / DAEMON ERROR").second, 0) << joined(b.statuses());
    EXPECT_FALSE(b.nodePid());
}

// The node has read its conf; then its rpcpassword changes, and every cli call is refused.
TEST(NodeFault, APasswordChangedUnderTheNodeEndsAsRefusedCredentials) {
    Scene s;
    Copy b(s.world, s.failing(0));
    bool changed = false;
    ASSERT_TRUE(b.runToTheEnd(runLimit,
                              once([&] { return b.nodePid() && b.node().cli({"getblockcount"}).status == 0; },
                                   [&] {
                                       auto conf = readFile(b.conf);
                                       const auto at = conf.find("rpcpassword=");
                                       ASSERT_NE(at, std::string::npos) << conf;
                                       conf.insert(conf.find('\n', at), "-changed");
                                       writeFile(b.conf, conf);
                                   },
                                   changed)))
        << "still polling: " << b.live().status() << joined(b.statuses());
    ASSERT_TRUE(changed);
    s.expectRow("Its RPC password was changed after it started", b);
    EXPECT_TRUE(b.nodePid()) << "the node the cli cannot reach was said to run on";
}

// The cli program is renamed after the crypto settings were saved.
TEST(NodeFault, AMissingCliIsSaidAtTheFirstPoll) {
    Scene s;
    Copy b(s.world, s.failing(0));
    const auto cli = b.programs + "/" + b.name() + "-cli";
    fs::rename(cli, cli + ".old");
    ASSERT_TRUE(b.runToTheEnd(runLimit)) << "still polling: " << b.live().status() << joined(b.statuses());
    s.expectRow("Its cli program is missing", b);
    EXPECT_EQ(pollsAround(b.statuses(), "CLI MISSING"), std::make_pair(1L, 0L)) << joined(b.statuses());
    EXPECT_TRUE(b.nodePid()) << "the node the cli cannot reach was said to run on";
}

// litecoind passes over an unknown "name=value" with a line in its log; a line it cannot parse
// at all stops it.
TEST(NodeFault, ANodeRefusingItsConfSaysWhy) {
    expectRefusedStart("Its conf holds a line it cannot read",
                       [](Copy& b) { writeFile(b.conf, readFile(b.conf) + "txindex\n"); });
}

TEST(NodeFault, ANodeWithoutItsDataFolderSaysWhy) {
    expectRefusedStart("Its data folder does not exist", [](Copy& b) { fs::remove_all(b.datadir); });
}

}  // namespace pd::test
