#include <gtest/gtest.h>

#include "main/SyncHistory.hpp"

namespace pd {

TEST(SyncHistoryTest, StampsRoundTripAndRefuseWhatIsNotAStamp) {
    for (const auto& [seconds, text] :
         std::vector<std::pair<std::int64_t, std::string>>{{0, "1970-01-01T00:00:00Z"},
                                                           {951782400, "2000-02-29T00:00:00Z"},
                                                           {1796747405, "2026-12-08T16:30:05Z"},
                                                           {4102444799, "2099-12-31T23:59:59Z"}}) {
        EXPECT_EQ(utcStamp(seconds), text);
        EXPECT_EQ(parseUtcStamp(text), seconds) << text;
    }
    for (const auto* bad : {"", "2026-12-08 16:30:05Z", "2026-02-30T00:00:00Z", "2026-12-08T24:00:00Z",
                            "2026-12-08T16:30:05", "2026-12-08T16:3a:05Z", "+026-12-08T16:30:05Z"})
        EXPECT_FALSE(parseUtcStamp(bad)) << bad;
}

TEST(SyncHistoryTest, LinesRoundTripAndDamagedLinesAreSkipped) {
    const SyncSample a{1796747405, 1006, 1300, 8}, b{1796747415, 1066, 1301, 0};
    EXPECT_EQ(syncHistoryLine(a), "2026-12-08T16:30:05Z,1006,1300,8");
    const auto text = std::string(syncHistoryHeader) + "\r\n" + syncHistoryLine(a) + "\r\n\n" +
                      "2026-12-08T16:30:10Z,10x,1300,8\n" + "2026-12-08T16:30:11Z,1010,1300\n" +
                      "2026-12-08T16:30:12Z,1010,1300,8,9\n" + syncHistoryLine(b) + "\n" + "2026-12-08T16:3";
    EXPECT_EQ(parseSyncHistory(text), (std::vector<SyncSample>{a, b}));
}

}  // namespace pd
