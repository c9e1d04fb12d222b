// The run history under kill -9: a copy killed while it appends its line leaves every line
// written before whole, byte for byte.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>

#include "main/RunHistory.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "sim/SimHarness.hpp"

namespace pd::test {

TEST(RunHistoryKill, AKillDuringTheAppendLeavesEveryEarlierLineWhole) {
    simtest::ScratchDir dir;
    const auto path = dir / "X-RUN-HISTORY.csv";
    std::mt19937 random(std::random_device{}());
    std::string before;
    int killedMidWay = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Run after run, as fast as the file takes them, until the kill.
            PosixPlatform platform;
            for (std::int64_t n = round * 100000;; ++n) {
                const auto start = 1796747400 + n * 60;
                appendRunHistory(
                    platform, path,
                    {start, start + 751, "!!! COMPLETED SUCCESSFULLY !!!", 1000 + n, 1040 + n, 40, 751,
                     562'300'000'000 + std::uint64_t(n), 562'310'000'000 + std::uint64_t(n)});
            }
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(200, 3000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const auto after = simtest::readFile(path);
        // What was whole before the kill is there as it was; at most the last line is cut.
        EXPECT_TRUE(after.starts_with(before.substr(0, before.rfind('\n') + 1))) << "round " << round;
        if (!after.empty() && after.back() != '\n') ++killedMidWay;
        before = after;
    }
    ASSERT_TRUE(before.starts_with(std::string(runHistoryHeader) + "\n"));
    const auto runs = parseRunHistory(before);
    ASSERT_FALSE(runs.empty());
    for (std::size_t i = 1; i < runs.size(); ++i) EXPECT_GT(runs[i].start, runs[i - 1].start);
    // Every whole line but the header is a run; a line cut short is the only one passed over.
    const auto lines = std::count(before.begin(), before.end(), '\n');
    EXPECT_GE(std::int64_t(runs.size()), lines - 1 - killedMidWay);
    RecordProperty("killed mid-line", killedMidWay);
}

}  // namespace pd::test
