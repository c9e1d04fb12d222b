#include <gtest/gtest.h>

#include "main/RunHistory.hpp"
#include "platform/fake/FakePlatform.hpp"

namespace pd::test {

namespace {
const RunRecord success{
    1796747400,      1796748151,     "!!! COMPLETED SUCCESSFULLY !!!", 1000, 1040, 40, 751,
    562'300'000'000, 562'310'000'000};
// A stamp with a comma and a quote, nothing known of the chain.
const RunRecord odd{1797352200,   1797352230,   "!!! \"ODD\", STAMP !!!",
                    std::nullopt, std::nullopt, std::nullopt,
                    30,           std::nullopt, std::nullopt};
}  // namespace

TEST(RunHistory, LinesReadBackAsWrittenAndAnythingDamagedIsPassedOver) {
    EXPECT_EQ(runHistoryLine(success),
              "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,!!! COMPLETED SUCCESSFULLY !!!,1000,1040,40,751,"
              "562300000000,562310000000");
    EXPECT_EQ(runHistoryLine(odd),
              "2026-12-15T16:30:00Z,2026-12-15T16:30:30Z,\"!!! \"\"ODD\"\", STAMP !!!\",,,,30,,");
    const std::string whole = runHistoryLine(success) + "\n";
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"a line cut short, ended by the next run's append", whole.substr(0, 40) + "\n"},
        {"a field missing", "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,X,1,2,1,5,7\n"},
        {"a field too many", "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,X,1,2,1,5,7,8,9\n"},
        {"a number that is not one", "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,X,1,2,1,5s,7,8\n"},
        {"a quote left open", "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,\"X,1,2,1,5,7,8\n"},
        {"no outcome", "2026-12-08T16:30:00Z,2026-12-08T16:42:31Z,,1,2,1,5,7,8\n"},
        {"a time that is not one", "2026-12-08 16:30,2026-12-08T16:42:31Z,X,1,2,1,5,7,8\n"},
    };
    for (const auto& [what, line] : damaged) {
        SCOPED_TRACE(what);
        const auto runs = parseRunHistory(std::string(runHistoryHeader) + "\n" + whole + line + whole +
                                          runHistoryLine(odd) + "\r\n");
        EXPECT_EQ(runs, (std::vector<RunRecord>{success, success, odd}));
    }
    // The last line counts once its line break is there.
    EXPECT_TRUE(parseRunHistory(runHistoryLine(success)).empty());
}

TEST(RunHistory, AppendingStartsWithTheHeaderAndEndsALineAnEarlierCrashCutShort) {
    FakePlatform platform;
    const std::string path = "/pd/LOGS/X-RUN-HISTORY.csv";
    ASSERT_TRUE(appendRunHistory(platform, path, success));
    EXPECT_EQ(platform.files[path], std::string(runHistoryHeader) + "\n" + runHistoryLine(success) + "\n");
    // A kill in the middle of the next line's write.
    platform.files[path] += runHistoryLine(success).substr(0, 50);
    const auto before = platform.files[path];
    ASSERT_TRUE(appendRunHistory(platform, path, odd));
    EXPECT_EQ(platform.files[path], before + "\n" + runHistoryLine(odd) + "\n");
    EXPECT_EQ(parseRunHistory(platform.files[path]), (std::vector<RunRecord>{success, odd}));
    // A file that cannot be written keeps what it had.
    platform.unwritable.insert(path);
    EXPECT_FALSE(appendRunHistory(platform, path, odd));
    EXPECT_EQ(parseRunHistory(platform.files[path]).size(), 2u);
}

TEST(RunHistory, TheTableShowsTheNewestRunsFirstInColumns) {
    RunRecord later = success;
    later.start += 7 * 86400;
    later.outcome = "!!! NODE STUCK !!!";
    later.runSeconds = 90061;  // past a day
    EXPECT_EQ(runHistoryTable({success, later, odd}, 2),
              "START (UTC)          RUN TIME  OUTCOME               BEFORE  AFTER  BLOCKS  SIZE BEFORE  SIZE "
              "AFTER\n"
              "2026-12-15 16:30:00  00:00:30  !!! \"ODD\", STAMP !!!       -      -       -            -     "
              "      -\n"
              "2026-12-15 16:30:00  25:01:01  !!! NODE STUCK !!!      1000   1040      40    562.30 GB   "
              "562.31 GB\n");
    EXPECT_EQ(sizeText(999), "999 B");
    EXPECT_EQ(sizeText(1'500), "1.50 KB");
}

}  // namespace pd::test
