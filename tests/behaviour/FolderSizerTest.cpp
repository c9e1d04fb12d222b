#include <gtest/gtest.h>

#include "Harness.hpp"

namespace pd::test {

namespace {
constexpr const char* chain = "C:\\Chain";
}

TEST(FolderSizer, SixLinesInDecimalUnitsJoinedByTheProfilesLineEnd) {
    Harness h("DEMO", windowsProfile());
    h.put("BLOCKCHAIN_HOME_TEXTBOX", chain);
    h.platform.folderSizes[chain] = 812345678901;
    auto& w = h.start();
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text(), "!!! STILL TO RUN !!!");
    ASSERT_TRUE(w.FFS_RUN_1_BUTTON.click());
    EXPECT_EQ(h.platform.folderSizeCalls, 0);  // measured on the timer's tick
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text(),
              "812,345,678,901 B  \r\n"
              "812,345,678.901 KB\r\n"
              "812,345.679 MB\r\n"
              "812.346 GB\r\n"
              "0.812346 TB\r\n"
              "0.000812346 PB");
    EXPECT_EQ(w.FILE_SIZE_MEGABYTES_TEXTBOX.text(), "812,345.679 MB");
    EXPECT_TRUE(w.FFS_RUN_1_BUTTON.enabled());
    EXPECT_FALSE(w.FOLDER_SIZER_BEFORE_TIMER.enabled());
    EXPECT_EQ(w.BC_FOLDER_SIZE_AFTER.text(), "!!! STILL TO RUN !!!");
    h.advance(5000);
    EXPECT_EQ(h.platform.folderSizeCalls, 1);  // one-shot
}

TEST(FolderSizer, AnEmptyFolderShowsZeroInEveryUnit) {
    Harness h("DEMO");
    h.put("BLOCKCHAIN_HOME_TEXTBOX", "/chain");
    h.platform.folderSizes["/chain"] = 0;
    auto& w = h.start();
    ASSERT_TRUE(w.FFS_RUN_2_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_AFTER.text(), "0 B  \n0 KB\n0 MB\n0 GB\n0 TB\n0 PB");
}

TEST(FolderSizer, TheLocalesSeparatorsAreUsed) {
    Harness h("DEMO");
    h.put("BLOCKCHAIN_HOME_TEXTBOX", "/chain");
    h.platform.folderSizes["/chain"] = 1234567;
    h.platform.thousands = '.';
    h.platform.decimal = ',';
    auto& w = h.start();
    ASSERT_TRUE(w.FFS_RUN_1_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text(),
              "1.234.567 B  \n1.234,567 KB\n1,235 MB\n0,001 GB\n0,000001 TB\n0,000000001 PB");
}

TEST(FolderSizer, EachResultKeepsItsOwnMeasurement) {
    Harness h("DEMO");
    h.put("BLOCKCHAIN_HOME_TEXTBOX", "/chain");
    h.platform.folderSizes["/chain"] = 1000;
    auto& w = h.start();
    ASSERT_TRUE(w.FFS_RUN_1_BUTTON.click());
    h.advance(1000);
    h.platform.folderSizes["/chain"] = 2500;
    ASSERT_TRUE(w.FFS_RUN_2_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text().substr(0, 9), "1,000 B  ");
    EXPECT_EQ(w.BC_FOLDER_SIZE_AFTER.text().substr(0, 9), "2,500 B  ");
    EXPECT_EQ(w.FILE_SIZE_KILOBYTES_TEXTBOX.text(), "2.5 KB");
}

TEST(FolderSizer, AFolderThatCannotBeMeasuredSaysSoAndShowsNoNumber) {
    Harness h("DEMO");
    h.put("BLOCKCHAIN_HOME_TEXTBOX", "/chain");
    h.platform.folderSizes["/chain"] = 1000;
    auto& w = h.start();
    ASSERT_TRUE(w.FFS_RUN_1_BUTTON.click());
    h.advance(1000);
    ASSERT_FALSE(w.FILE_SIZE_BYTES_TEXTBOX.text().empty());

    w.BLOCKCHAIN_HOME_TEXTBOX.setText("/gone");
    ASSERT_TRUE(w.FFS_RUN_1_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_BEFORE.text(), "!!! FOLDER NOT FOUND: /gone !!!");
    EXPECT_TRUE(w.FFS_RUN_1_BUTTON.enabled());
    EXPECT_EQ(w.FILE_SIZE_BYTES_TEXTBOX.text(), "");  // no stale number for readers

    h.platform.folders.insert("/locked");
    w.BLOCKCHAIN_HOME_TEXTBOX.setText("/locked");
    ASSERT_TRUE(w.FFS_RUN_2_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_AFTER.text(), "!!! FOLDER NOT READABLE: /locked !!!");
    EXPECT_TRUE(w.FFS_RUN_2_BUTTON.enabled());

    w.BLOCKCHAIN_HOME_TEXTBOX.setText("");
    ASSERT_TRUE(w.FFS_RUN_2_BUTTON.click());
    h.advance(1000);
    EXPECT_EQ(w.BC_FOLDER_SIZE_AFTER.text(), "!!! NO BLOCKCHAIN FOLDER SET !!!");
}

}  // namespace pd::test
