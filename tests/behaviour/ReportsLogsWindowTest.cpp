#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/LogManagerWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd::test {

namespace {
struct Reports : Harness {
    explicit Reports(std::string exe = "BTC", Profile profile = windowsProfile(), std::string home = "C:\\PD")
        : Harness(std::move(exe), std::move(profile)) {
        put("PACEDECK_HOME_TEXTBOX", home);
    }
    ReportsLogsWindow& open() {
        start();
        return app.open<ReportsLogsWindow>(&main());
    }
};
}  // namespace

TEST(ReportsLogsWindow, RefreshFlashesCyanWhileItCopiesTheNewReport) {
    Reports h;
    auto& w = h.open();
    EXPECT_EQ(w.LOG_FILE_OUTPUT_TEXTBOX.text(), "!!! LOG GENERATED AFTER RUN COMPLETION !!!");
    h.main().LOG_FILE_OUTPUT_TEXTBOX.setText("REPORT OF THE RUN");
    using Seen = std::pair<Colour, std::string>;
    std::vector<Seen> seen;
    w.LOG_FILE_OUTPUT_TEXTBOX.observe([&](const Element& e) { seen.emplace_back(e.back(), e.text()); });
    ASSERT_TRUE(w.REFRESH_BUTTON.click());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], Seen(colour::cyan, "!!! LOG GENERATED AFTER RUN COMPLETION !!!"));
    EXPECT_EQ(seen[1], Seen(colour::cyan, "REPORT OF THE RUN"));
    EXPECT_EQ(seen[2], Seen(colour::windowBackground, "REPORT OF THE RUN"));
}

TEST(ReportsLogsWindow, FilesOpenInTheEditorOfEachSystem) {
    {
        Reports h;
        auto& w = h.open();
        EXPECT_EQ(w.SE_LOG_BUTTON.text(), "\"SendEmail.exe\" LOG");
        EXPECT_EQ(w.OPENS_IN_LABEL.text(), "OPENS IN NOTEPAD");
        ASSERT_TRUE(w.VIEW_LAST_SAVED_REPORT_BUTTON.click());
        ASSERT_TRUE(w.SE_LOG_BUTTON.click());
        EXPECT_EQ(h.platform.launched(),
                  (std::vector<std::string>{"notepad.exe C:\\PD\\REPORTS\\BTC-END-REPORT.LOG",
                                            "notepad.exe C:\\PD\\LOGS\\BTC-SEND-EMAIL.LOG"}));
        EXPECT_EQ(h.platform.launches[0].style, WindowStyle::Normal);
        EXPECT_FALSE(h.platform.launches[0].script);
    }
    {
        Reports h("BTC", posixProfile("/home/o'neil"), "/home/o'neil/my nodes");
        auto& w = h.open();
        ASSERT_TRUE(w.VIEW_LAST_SAVED_REPORT_BUTTON.click());
        EXPECT_EQ(
            h.platform.launched(),
            std::vector<std::string>{"xdg-open '/home/o'\\''neil/my nodes/REPORTS/BTC-END-REPORT.LOG'"});
    }
}

TEST(ReportsLogsWindow, TheSyncChartOpensInTheViewerOfEachSystemOnceItExists) {
    struct Case {
        Profile profile;
        std::string home, chart, viewer;
    };
    for (const auto& c :
         {Case{windowsProfile(), "C:\\PD", "C:\\PD\\REPORTS\\BTC-SYNC-CHART.svg",
               "explorer.exe \"C:\\PD\\REPORTS\\BTC-SYNC-CHART.svg\""},
          Case{posixProfile("/home/t"), "/home/t/my pd", "/home/t/my pd/REPORTS/BTC-SYNC-CHART.svg",
               "xdg-open '/home/t/my pd/REPORTS/BTC-SYNC-CHART.svg'"}}) {
        Reports h("BTC", c.profile, c.home);
        auto& w = h.open();
        EXPECT_EQ(w.SYNC_CHART_BUTTON.text(), "SYNC CHART");
        ASSERT_TRUE(w.SYNC_CHART_BUTTON.click());
        EXPECT_TRUE(h.platform.launches.empty());
        EXPECT_EQ(w.EDITOR_STATUS_LABEL.text(), "!!! NO SYNC CHART FROM THE LAST RUN !!!");
        h.platform.files[c.chart] = "<svg/>";
        ASSERT_TRUE(w.SYNC_CHART_BUTTON.click());
        EXPECT_EQ(h.platform.launched(), std::vector<std::string>{c.viewer});
        EXPECT_EQ(w.EDITOR_STATUS_LABEL.text(), "");
        h.platform.commandFailure = "no viewer";
        ASSERT_TRUE(w.SYNC_CHART_BUTTON.click());
        EXPECT_EQ(w.EDITOR_STATUS_LABEL.text(), "!!! THE VIEWER DID NOT START: no viewer !!!");
    }
}

TEST(LogManager, ShowsThisCopysFilesAndClearsToOneEmptyLine) {
    Reports h("LTC");
    h.platform.files["C:\\PD\\REPORTS\\LTC-END-REPORT.LOG"] = "a long report";
    auto& viewer = h.open();
    ASSERT_TRUE(viewer.LOG_MANAGER_BUTTON.click());
    auto* m = h.app.find<LogManagerWindow>();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->PACEDECK_LOG_LOCATION_TEXTBOX.text(), "C:\\PD\\REPORTS\\LTC-END-REPORT.LOG");
    EXPECT_EQ(m->SE_LOG_LOCATION_TEXTBOX.text(), "C:\\PD\\LOGS\\LTC-SEND-EMAIL.LOG");
    EXPECT_EQ(m->PACEDECK_BLOCKCOUNT_LOG_LOCATION_TEXTBOX.text(),
              "C:\\PD\\BLOCKCOUNTS\\LTC-LATEST-BLOCKCOUNT.LOG");
    EXPECT_FALSE(m->CLEAR_PACEDECK_REPORT_BUTTON.enabled());
    EXPECT_FALSE(m->CLEAR_SE_LOG_BUTTON.enabled());

    ASSERT_TRUE(m->ENABLE_TICKBOX.click());
    ASSERT_TRUE(m->CLEAR_PACEDECK_REPORT_BUTTON.click());
    EXPECT_EQ(h.platform.files["C:\\PD\\REPORTS\\LTC-END-REPORT.LOG"], "\r\n");
    EXPECT_FALSE(m->CLEAR_PACEDECK_REPORT_BUTTON.enabled());
    EXPECT_TRUE(m->CLEAR_SE_LOG_BUTTON.enabled());
    ASSERT_TRUE(m->CLEAR_SE_LOG_BUTTON.click());
    EXPECT_EQ(h.platform.files["C:\\PD\\LOGS\\LTC-SEND-EMAIL.LOG"], "\r\n");
    EXPECT_FALSE(h.platform.files.contains("C:\\PD\\BLOCKCOUNTS\\LTC-LATEST-BLOCKCOUNT.LOG"));

    // The tick stays ticked: a second clear needs it re-armed.
    EXPECT_TRUE(m->ENABLE_TICKBOX.ticked());
    ASSERT_TRUE(m->ENABLE_TICKBOX.click());
    ASSERT_TRUE(m->ENABLE_TICKBOX.click());
    EXPECT_TRUE(m->CLEAR_PACEDECK_REPORT_BUTTON.enabled());
}

TEST(LogManager, UnderPosixTheEmptyLineIsOneByte) {
    Reports h("BTC", posixProfile("/home/tester"), "/home/tester/PD");
    auto& viewer = h.open();
    auto& m = h.app.open<LogManagerWindow>(&viewer);
    ASSERT_TRUE(m.ENABLE_TICKBOX.click());
    ASSERT_TRUE(m.CLEAR_SE_LOG_BUTTON.click());
    EXPECT_EQ(m.CLEAR_SE_LOG_BUTTON.text(), "CLEAR \"sendemail\" LOG");
    EXPECT_EQ(h.platform.files["/home/tester/PD/LOGS/BTC-SEND-EMAIL.LOG"], "\n");
}

TEST(LogManager, AClearThatCannotWriteIsSaidAndCanBeTriedAgain) {
    Reports h;
    h.platform.unwritable.insert("C:\\PD\\REPORTS");
    auto& viewer = h.open();
    auto& m = h.app.open<LogManagerWindow>(&viewer);
    ASSERT_TRUE(m.ENABLE_TICKBOX.click());
    ASSERT_TRUE(m.CLEAR_PACEDECK_REPORT_BUTTON.click());
    EXPECT_EQ(m.CLEAR_STATUS_LABEL.text(),
              "!!! NOT CLEARED: cannot write C:\\PD\\REPORTS\\BTC-END-REPORT.LOG !!!");
    EXPECT_EQ(m.CLEAR_STATUS_LABEL.fore(), colour::red);
    EXPECT_TRUE(m.isOpen());
    EXPECT_TRUE(m.CLEAR_PACEDECK_REPORT_BUTTON.enabled());
    h.platform.unwritable.clear();
    ASSERT_TRUE(m.CLEAR_PACEDECK_REPORT_BUTTON.click());
    EXPECT_EQ(h.platform.files["C:\\PD\\REPORTS\\BTC-END-REPORT.LOG"], "\r\n");
    EXPECT_FALSE(m.CLEAR_PACEDECK_REPORT_BUTTON.enabled());
}

TEST(LogManager, BothWindowsStoreTheirPlace) {
    Reports h;
    auto& viewer = h.open();
    auto& m = h.app.open<LogManagerWindow>(&viewer);
    m.moveTo(1, 2);
    ASSERT_TRUE(m.OK_BUTTON.click());
    viewer.moveTo(3, 4);
    ASSERT_TRUE(viewer.OK_BUTTON.click());
    EXPECT_EQ(h.stored("LOG_MANAGER-Left"), "1");
    EXPECT_EQ(h.stored("LOG_MANAGER-Top"), "2");
    EXPECT_EQ(h.stored("REPORTS_LOGS_WINDOW-Left"), "3");
    EXPECT_EQ(h.stored("REPORTS_LOGS_WINDOW-Top"), "4");
}

}  // namespace pd::test
