// Whole runs of a copy of PACEDECK against Debian's real litecoind (and litecoin-qt): the
// copy set up by pacedeck-setup, its node catching up from a peer on loopback, judged as a
// user's unattended run is, on the real clock. Each test has its own folder, ports and
// program names, so they run side by side and beside any other node on the machine.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "FailureTable.hpp"
#include "LitecoinPair.hpp"
#include "Says.hpp"
#include "integration/Xvfb.hpp"

namespace pd::test {

using namespace ltc;
using simtest::folderSize;
using simtest::readFile;
namespace fs = std::filesystem;

namespace {

// A run ends within minutes: node start, the catch-up, three agreeing readings two seconds
// apart, the sync check, the stall limit where there is one, the node's stop.
constexpr auto runLimit = std::chrono::minutes(5);

bool anyOf(const std::vector<std::string>& texts, bool (*test)(std::string_view)) {
    return std::any_of(texts.begin(), texts.end(), [&](const std::string& t) { return test(t); });
}

// The end report's numbers and the folder it measured, against the node's own folder.
// An empty START or DOWNLOADED is a start the run cannot know.
void expectReport(const Copy& copy, const std::string& start, const std::string& end,
                  const std::string& downloaded) {
    const auto text = copy.report();
    const auto report = lines(text);
    const auto startLine = after(report, says::beforeTitle);
    if (start.empty())
        EXPECT_TRUE(says::unknownNumber(startLine)) << text;
    else
        EXPECT_EQ(startLine, start) << text;
    EXPECT_EQ(after(report, says::afterTitle), end) << text;
    const auto downloadedLine = after(report, says::downloadedTitle);
    if (downloaded.empty())
        EXPECT_TRUE(says::downloadedFromAnUnknownStart(downloadedLine)) << text;
    else
        EXPECT_EQ(downloadedLine, downloaded) << text;
    // The size after the run is the sum of the node's files, which have not changed since.
    EXPECT_EQ(bytesOf(after(report, says::endSizeTitle)), folderSize(copy.datadir)) << text;
}

void expectStamps(Copy& copy, const std::string& stamp) {
    EXPECT_EQ(copy.stamp("MULTILOADER_LAST_RUN_TEXTBOX"), stamp);
    EXPECT_EQ(copy.stamp("BLOCKCOUNTER_LAST_RUN"), stamp);
}

void expectGaveUp(Copy& copy) {
    for (const auto* key : {"MULTILOADER_LAST_RUN_TEXTBOX", "BLOCKCOUNTER_LAST_RUN"})
        EXPECT_TRUE(says::gaveUpStamp(copy.stamp(key))) << key << ": " << copy.stamp(key);
    const auto report = lines(copy.report());
    EXPECT_NE(std::find(report.begin(), report.end(),
                        "BLOCKCOUNTER LAST RUN: " + copy.stamp("BLOCKCOUNTER_LAST_RUN")),
              report.end())
        << copy.report();
    EXPECT_FALSE(copy.nodePid()) << "the run left its node running";
}

}  // namespace

// Run 1: from an empty data folder to the peer's height, then again from there after the
// peer has mined 500 more; the second run starts from the count the first one left.
TEST(RealNode, ACopyCatchesUpFromAnEmptyFolderAndAgainFromWhereItStood) {
    World world;
    Peer a(world);
    const auto first = a.mine(1000);
    ASSERT_EQ(first, 1000);
    Link link(world.dir(), a.p2pPort());
    Copy b(world, {.peer = link.port()});

    ASSERT_TRUE(b.runToTheEnd(runLimit)) << b.live().status() << joined(b.statuses());
    expectStamps(b, says::completed);
    expectReport(b, "", "1000", "");
    EXPECT_FALSE(b.nodePid());
    EXPECT_EQ(readFile(b.home + "/BLOCKCOUNTS/LTC.main-LATEST-BLOCKCOUNT.LOG"), "1000\n");

    ASSERT_EQ(a.mine(500), 1500);
    ASSERT_TRUE(b.runToTheEnd(runLimit)) << b.live().status() << joined(b.statuses());
    expectStamps(b, says::completed);
    expectReport(b, "1000", "1500", "500");
    EXPECT_FALSE(b.nodePid());
}

// Run 2: B caught up with A, then A went away. B's tip is recent and its blocks equal its
// headers, but with no peer nobody can tell it is the top: never success.
TEST(RealNode, ANodeWhosePeerWentAwayIsNeverCalledCaughtUp) {
    World world;
    Peer a(world);
    ASSERT_EQ(a.mine(1000), 1000);
    Link link(world.dir(), a.p2pPort());
    SmtpSink sink(world.dir());
    ASSERT_TRUE(sink.ready());
    Copy b(world, {.peer = link.port(),
                   // Long enough that the node is seen without a peer before the run gives up.
                   .extraSections = "[PACEDECK_CRYPTO_SETTINGS]\nSTALL_LIMIT_TEXTBOX = 00:01:00\npress = "
                                    "SAVE_BUTTON\n" +
                                    mailToSink(sink),
                   .extraTicks = "TASK_17_ENABLE_TICKBOX = 1\n"});
    // As a run before this one left it: caught up with A, its last reading kept.
    b.node().start();
    ASSERT_TRUE(b.node().waitFor([](const ChainState& s) { return s.blocks == 1000; }));
    ASSERT_TRUE(b.node().stop());
    simtest::writeFile(b.home + "/BLOCKCOUNTS/LTC.main-LATEST-BLOCKCOUNT.LOG", "1000\n");
    b.keep("NODE_STOPPED_AT_BLOCK", "1000\n");  // and it ended cleanly with its node stopped there
    ASSERT_TRUE(a.node().stop());

    ASSERT_TRUE(b.runToTheEnd(runLimit)) << b.live().status() << joined(b.statuses());
    ASSERT_TRUE(sink.waitForMessages(1));
    const auto mail = sink.messages().back();
    failures::expectAsTheReadmeSays("Its only peer went away, its tip recent", b.statuses(),
                                    b.stamp("MULTILOADER_LAST_RUN_TEXTBOX"), failures::subjectOf(mail));
    expectGaveUp(b);
    // Every answer the node gave is in the run's history: at the top, without a peer.
    const auto history = lines(readFile(b.home + "/LOGS/LTC.main-SYNC-HISTORY.csv"));
    ASSERT_GT(history.size(), 1u);
    for (auto line = history.begin() + 1; line != history.end(); ++line)
        EXPECT_TRUE(line->ends_with(",1000,1000,0")) << *line;
    EXPECT_EQ(after(lines(b.report()), says::beforeTitle), "1000");
    EXPECT_EQ(after(lines(b.report()), says::afterTitle), "1000");
    EXPECT_NE(normalised(mail).find(normalised(b.report())), std::string::npos) << mail;
}

// Run 3: a new node whose only peer is not there: height 0 for ever. The run must end by the
// stall rule, not poll on.
TEST(RealNode, ANewNodeWithoutAnyPeerEndsByTheStallRule) {
    World world;
    Copy b(world, {.peer = simtest::freePort(), .extraSections = stallLimitSetup});

    ASSERT_TRUE(b.runToTheEnd(runLimit)) << "still polling: " << b.live().status() << joined(b.statuses());
    EXPECT_TRUE(anyOf(b.statuses(), says::noPeers)) << joined(b.statuses());
    expectGaveUp(b);
}

// Run 4: B has all of A's headers and part of the blocks when the cable is cut.
TEST(RealNode, ANodeCutOffFromItsPeerMidSyncIsStuck) {
    World world;
    Peer a(world);
    ASSERT_EQ(a.mine(2000), 2000);
    // Slow enough that the blocks come in for several seconds after the headers.
    Link link(world.dir(), a.p2pPort(), 40000);
    Copy b(world, {.peer = link.port(), .extraSections = stallLimitSetup});

    std::optional<ChainState> atCut;
    auto nextLook = std::chrono::steady_clock::now();
    ASSERT_TRUE(b.runToTheEnd(runLimit,
                              [&] {
                                  if (atCut || std::chrono::steady_clock::now() < nextLook) return;
                                  nextLook = std::chrono::steady_clock::now() + 300ms;
                                  auto s = b.node().state();
                                  if (s && s->headers == 2000 && s->blocks > 0 && s->blocks < 1500) {
                                      link.cut();
                                      atCut = s;
                                  }
                              }))
        << b.live().status() << joined(b.statuses());
    ASSERT_TRUE(atCut) << "the cable was never cut mid-sync";
    EXPECT_TRUE(anyOf(b.statuses(), says::stuck)) << joined(b.statuses());
    expectGaveUp(b);
    EXPECT_LT(std::atoll(after(lines(b.report()), says::afterTitle).c_str()), 2000) << b.report();
}

// Run 5: the wallet program, litecoin-qt, with its window on an X server of the test's own.
TEST(RealNode, TheWalletProgramCatchesUpOnAnXServer) {
    World world;
    Xvfb x("1280x800x24");
    ASSERT_FALSE(x.display().empty()) << "no X server could be started";
    world.env().set("DISPLAY", x.display());
    world.env().set("QT_QPA_PLATFORM", "xcb");
    Peer a(world);
    ASSERT_EQ(a.mine(500), 500);
    Link link(world.dir(), a.p2pPort());
    Copy b(world, {.peer = link.port(), .qt = true});

    bool windowShown = false;
    auto nextLook = std::chrono::steady_clock::now();
    ASSERT_TRUE(b.runToTheEnd(
        runLimit,
        [&] {
            if (windowShown || !b.nodePid() || std::chrono::steady_clock::now() < nextLook) return;
            nextLook = std::chrono::steady_clock::now() + 1s;
            const auto windows =
                simtest::run("/usr/bin/xwininfo", {"-display", x.display(), "-root", "-tree"});
            windowShown = windows.out.find("\"Litecoin Core - [regtest]\"") != std::string::npos;
        }))
        << b.live().status() << joined(b.statuses());
    EXPECT_TRUE(windowShown) << "litecoin-qt never showed its main window";
    expectStamps(b, says::completed);
    const auto report = lines(b.report());
    EXPECT_EQ(after(report, says::afterTitle), "500") << b.report();
    EXPECT_EQ(bytesOf(after(report, says::endSizeTitle)), folderSize(b.datadir)) << b.report();
    EXPECT_NE(std::find(report.begin(), report.end(), "QT Shutdown Using --- " + b.name() + "-cli ---"),
              report.end())
        << b.report();
    EXPECT_FALSE(b.nodePid());
}

// Run 6: another copy's node ("LTC.test", the same program name) runs beside this copy's
// ("LTC.main"). The run waits for its own node alone, says which one it waits for, and leaves
// the other running.
TEST(RealNode, ARunKnowsItsOwnNodeBesideAnotherCopysNode) {
    World world;
    Peer a(world);
    ASSERT_EQ(a.mine(500), 500);
    Link link(world.dir(), a.p2pPort());
    Copy other(world, {.exe = "LTC.test", .name = 'b', .peer = 0});
    other.node().start();
    ASSERT_TRUE(other.node().waitReady());
    Copy b(world, {.exe = "LTC.main", .name = 'b', .peer = link.port()});
    ASSERT_EQ(fs::path(b.program()).filename(), fs::path(other.program()).filename());

    // The node is held still for a while once it is asked to stop, so that the run shows
    // its wait.
    std::optional<pid_t> held;
    bool released = false;
    std::chrono::steady_clock::time_point release;
    ASSERT_TRUE(b.runToTheEnd(runLimit,
                              [&] {
                                  if (!held && b.window().TASK_11_LIGHT.back() == colour::cyan &&
                                      b.nodePid()) {
                                      held = b.nodePid();
                                      ::kill(*held, SIGSTOP);
                                      release = std::chrono::steady_clock::now() + 6s;
                                  }
                                  if (held && !released && std::chrono::steady_clock::now() >= release)
                                      released = ::kill(*held, SIGCONT) == 0;
                              }))
        << "the run waits for a node not its own: " << b.live().status() << joined(b.statuses());

    ASSERT_TRUE(held) << "the run never asked its node to stop";
    expectStamps(b, says::completed);
    EXPECT_FALSE(b.nodePid());
    EXPECT_TRUE(other.node().running()) << "the other copy's node was stopped";
    EXPECT_TRUE(other.node().waitReady(10s));
    const auto& waiting = b.shutdownStatuses();
    EXPECT_TRUE(
        std::any_of(waiting.begin(), waiting.end(),
                    [&](const std::string& s) { return says::namesTheNode(s, *held, b.datadir, b.conf); }))
        << "no status names the node waited for:" << joined(waiting);
}

}  // namespace pd::test
