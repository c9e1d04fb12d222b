#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Harness.hpp"

namespace pd::test {

namespace {

std::vector<std::string> linesOf(const std::string& text, const std::string& nl) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find(nl, at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + nl.size();
    }
    return lines;
}

// A Windows copy whose run records are filled in; the folder sizes have six lines each.
struct ReportHarness : Harness {
    ReportHarness() : Harness("BTCSYNC", windowsProfile()) {
        put("PACEDECK_HOME_TEXTBOX", "C:\\SYNCWARD-ROOT\\PACEDECK");
        put("BLOCKCHAIN_HOME_TEXTBOX", "D:\\CHAINS\\BTC");
        put("CRYPTO_NAME_TEXTBOX", "BTC");
        put("QT_NAME_TEXTBOX", "bitcoin-qt.exe");
        put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "bitcoin-cli.exe");
        put("MULTILOADER_LAST_RUN_TEXTBOX", "!!! MANUAL EXIT !!!");
        put("BLOCKCOUNTER_LAST_RUN", "!!! COMPLETED SUCCESSFULLY !!!");
        put("ALWAYS_ON_TOP_TICKBOX", "0");
    }
    void fillRecords() {
        auto& w = main();
        w.PC_NAME_TEXTBOX.setText("PC Name = NODEBOX");
        w.DATE_TEXTBOX.setText("07/12/2026");
        w.START_TIME_TEXTBOX.setText("02:00:00");
        w.END_TIME_TEXTBOX.setText("03:12:09");
        w.TOTAL_RUNTIME_TEXTBOX.setText("01:12:07");
        w.BC_FOLDER_SIZE_BEFORE.setText("B1\r\nB2\r\nB3\r\nB4\r\nB5\r\nB6");
        w.BC_FOLDER_SIZE_AFTER.setText("A1\r\nA2\r\nA3\r\nA4\r\nA5\r\nA6");
        w.BLOCKCOUNT_LOG_START_TEXTBOX.setText("100");
        w.BLOCKCOUNT_LOG_END_TEXTBOX.setText("345");
        w.DOWNLOADED_BLOCKS_TEXTBOX.setText("245");
        w.RUN_QT_OR_D_TEXTBOX.setText("QT");
        w.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.setText("AUTOCLOSE");
        w.AUTOTIMER_ACTION_TEXTBOX.setText("");
    }
    std::string reportPath() { return "C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTCSYNC-END-REPORT.LOG"; }
    void pressRunButton() { ASSERT_TRUE(main().MULTILOADER_START_STOP_BUTTON.click()); }
    // Runs a whole run (every optional stage cleared) with the numbers stages 6 and 10 take
    // before and after.
    void runWithReadings(const std::string& before, const std::string& after,
                         const std::function<void()>& during = nullptr) {
        pressRunButton();
        advance(6000);  // stage 6 took the start number
        main().BLOCKCOUNT_LOG_START_TEXTBOX.setText(before);
        if (during) during();
        advance(3000);  // stage 10 the end number
        main().BLOCKCOUNT_LOG_END_TEXTBOX.setText(after);
        advance(9000);
        // The next START needs the button back at START.
        pressRunButton();
    }
};

}  // namespace

TEST(EndReport, ComposesTheFiftyNineLinesWithWindowsLineEnds) {
    ReportHarness h;
    h.start();
    h.fillRecords();
    const std::string splitter(61, '=');
    const std::string expected = "!!! - SYNCWARD - PACEDECK - !!!\r\n" + splitter +
                                 "\r\n"
                                 "\r\n"
                                 "PC Name = NODEBOX\r\n"
                                 "\r\n"
                                 "Crypto Name = BTC\r\n"
                                 "\r\n"
                                 "Today = 07/12/2026\r\n"
                                 "\r\n"
                                 "START Run Time:\r\n"
                                 "02:00:00\r\n"
                                 "\r\n"
                                 "Blockchain START Folder Size:\r\n"
                                 "B1\r\nB2\r\nB3\r\nB4\r\nB5\r\nB6\r\n"
                                 "\r\n"
                                 "Last Know Block Number BEFORE Update:\r\n"
                                 "100\r\n"
                                 "Last Know Block Number AFTER Update:\r\n"
                                 "345\r\n"
                                 "Number Of Blocks Downloaded:\r\n"
                                 "245\r\n"
                                 "\r\n"
                                 "Blockchain END Folder Size:\r\n"
                                 "A1\r\nA2\r\nA3\r\nA4\r\nA5\r\nA6\r\n"
                                 "\r\n"
                                 "END Run Time:\r\n"
                                 "03:12:09\r\n"
                                 "\r\n"
                                 "MINIMUM RUN TIME:\r\n"
                                 "01:12:07\r\n"
                                 "\r\n" +
                                 splitter +
                                 "\r\n"
                                 "\r\n"
                                 "MULTILOADER LAST RUN: !!! MANUAL EXIT !!!\r\n"
                                 "BLOCKCOUNTER LAST RUN: !!! COMPLETED SUCCESSFULLY !!!\r\n"
                                 "\r\n"
                                 "PACEDECK Filename: \r\n"
                                 "BTCSYNC.exe\r\n"
                                 "\r\n"
                                 "PACEDECK Home: \r\n"
                                 "C:\\SYNCWARD-ROOT\\PACEDECK\r\n"
                                 "\r\n"
                                 "BLOCKCHAIN FOLDER: \r\n"
                                 "D:\\CHAINS\\BTC\r\n"
                                 "\r\n"
                                 "CRYPTO-CONFIG File: \r\n"
                                 "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTCSYNC-CRYPTO-CONFIG.conf\r\n"
                                 "\r\n"
                                 "BLOCKCHAIN UPDATED USING: QT --- bitcoin-qt.exe --- \r\n"
                                 "QT Shutdown Using --- bitcoin-cli.exe ---\r\n"
                                 "\r\n"
                                 "FINAL ACTION:\r\n"
                                 "AUTOCLOSE\r\n"
                                 "\r\n"
                                 "\r\n" +
                                 splitter + "\r\n" + "!!! - Thanks for using Syncward Software - !!!\r\n" +
                                 linesOf(h.main().LOG_BOTTOM_MESSAGE_TEXTBOX.text(), "\r\n").at(1) + "\r\n" +
                                 splitter + "\r\n";
    auto report = h.main().endReport.compose();
    EXPECT_EQ(report, expected);
    // Fifty-nine lines, plus five more for each six-line folder size.
    EXPECT_EQ(linesOf(report, "\r\n").size(), 59u + 10u);
    auto credit = linesOf(report, "\r\n").at(57 + 10 - 1);
    EXPECT_TRUE(credit.starts_with("!!! - ") && credit.ends_with(" - !!!")) << credit;
}

TEST(EndReport, ADaemonRunNamesTheDaemonProgramAndThePosixCopyHasNoExeSuffix) {
    Harness h("LTC");
    h.put("PACEDECK_HOME_TEXTBOX", "/home/tester/PD");
    h.put("QT_NAME_TEXTBOX", "litecoin-qt");
    h.put("DAEMOND_NAME_TEXTBOX", "litecoind");
    h.put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "litecoin-cli");
    auto& w = h.start();
    w.RUN_QT_OR_D_TEXTBOX.setText("DAEMON");
    auto lines = linesOf(w.endReport.compose(), "\n");
    ASSERT_EQ(lines.size(), 59u);
    EXPECT_EQ(lines[37], "LTC");
    EXPECT_EQ(lines[46], "/home/tester/PD/CONFIGS/LTC-CRYPTO-CONFIG.conf");
    EXPECT_EQ(lines[48], "BLOCKCHAIN UPDATED USING: DAEMON --- litecoind --- ");
    EXPECT_EQ(lines[49], "DAEMON Shutdown Using --- litecoin-cli ---");
    EXPECT_EQ(w.endReport.compose().find('\r'), std::string::npos);
}

TEST(EndReport, StagesFourteenToSixteenRecordTimesAndWriteTheReport) {
    ReportHarness h;
    h.platform.folders = {"C:\\SYNCWARD-ROOT\\PACEDECK", "C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS"};
    h.start();
    h.pressRunButton();
    h.advance(12'000);  // stage 13
    h.platform.time = "05:06:07";
    h.advance(1000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "LOGGING END TIME");
    EXPECT_EQ(h.main().END_TIME_TEXTBOX.text(), "05:06:07");
    EXPECT_EQ(h.main().TASK_13_LIGHT.back(), colour::green);
    EXPECT_EQ(h.main().TASK_14_LIGHT.back(), colour::cyan);
    h.advance(1000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "LOGGING TOTAL RUNTIME");
    // The run-time clock started at stage 3 and ticked eleven times by stage 15.
    EXPECT_EQ(h.main().TOTAL_RUNTIME_TEXTBOX.text(), "00:00:11");
    EXPECT_EQ(h.main().TOTAL_RUNTIME_TEXTBOX.text(), h.main().RUNTIME_LABEL.text());
    h.advance(1000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "CREATING END REPORT");
    EXPECT_EQ(h.main().TASK_16_LIGHT.back(), colour::cyan);
    const auto& shown = h.main().LOG_FILE_OUTPUT_TEXTBOX.text();
    EXPECT_EQ(shown, h.main().endReport.compose());
    // The file is the report and one more line end: it ends with the splitter and two.
    const auto& file = h.platform.files.at(h.reportPath());
    EXPECT_EQ(file, shown + "\r\n");
    EXPECT_TRUE(file.ends_with(std::string(61, '=') + "\r\n\r\n"));
    EXPECT_NE(shown.find("END Run Time:\r\n05:06:07\r\n"), std::string::npos);
    EXPECT_NE(shown.find("MINIMUM RUN TIME:\r\n00:00:11\r\n"), std::string::npos);
}

TEST(EndReport, DownloadedBlocksAreTheDifferenceOfTheNumericValuesAndNeverMadeUp) {
    struct Case {
        std::string before, after, downloaded;
    };
    for (const auto& c :
         std::vector<Case>{{"100", "345", "245"},
                           {"100\r\n", "345\r\n", "245"},
                           {"  100\r\n", "345 blocks", "245"},
                           {"0", "812\r\n", "812"},
                           // a missing reading is no reading, not a 0
                           {"100\r\n", "", std::string(EndReport::unknownAfter)},
                           {"", "812\r\n", std::string(EndReport::unknownBefore)},
                           {"error: no connection", "812\r\n", std::string(EndReport::unknownBefore)},
                           {"", "", std::string(EndReport::unknownCount)}}) {
        ReportHarness h;
        h.start();
        h.runWithReadings(c.before, c.after);
        SCOPED_TRACE("'" + c.before + "' to '" + c.after + "'");
        EXPECT_EQ(h.main().BLOCKCOUNT_LOG_START_TEXTBOX.text(), c.before);
        EXPECT_EQ(h.main().BLOCKCOUNT_LOG_END_TEXTBOX.text(), c.after);
        EXPECT_EQ(h.main().DOWNLOADED_BLOCKS_TEXTBOX.text(), c.downloaded);
        auto lines = linesOf(h.main().LOG_FILE_OUTPUT_TEXTBOX.text(), "\r\n");
        auto label = std::find(lines.begin(), lines.end(), "Number Of Blocks Downloaded:");
        ASSERT_NE(label, lines.end());
        EXPECT_EQ(*(label + 1), c.downloaded);
    }
}

TEST(EndReport, ASecondRunReplacesTheReportWhole) {
    ReportHarness h;
    h.start();
    h.runWithReadings("1000\r\n", "1777\r\n");
    auto first = h.platform.files.at(h.reportPath());
    ASSERT_NE(first.find("1777"), std::string::npos);
    h.platform.time = "23:59:01";
    h.runWithReadings("1777\r\n", "1800\r\n");
    const auto& second = h.platform.files.at(h.reportPath());
    EXPECT_NE(second, first);
    EXPECT_EQ(second, h.main().LOG_FILE_OUTPUT_TEXTBOX.text() + "\r\n");
    EXPECT_EQ(second.find("1000"), std::string::npos);
    EXPECT_EQ(second.find("Downloaded:\r\n777"), std::string::npos);
    EXPECT_NE(second.find("Number Of Blocks Downloaded:\r\n23\r\n"), std::string::npos);
    // The raw readings bring their own line ends: two more lines, and the file's last one.
    EXPECT_EQ(linesOf(second, "\r\n").size(), 59u + 2u + 1u);
}

TEST(EndReport, AMissingReportsFolderIsCreated) {
    ReportHarness h;
    h.platform.folders = {"C:\\SYNCWARD-ROOT\\PACEDECK"};
    h.start();
    h.runWithReadings("1", "2");
    EXPECT_TRUE(h.platform.folders.contains("C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS"));
    EXPECT_TRUE(h.platform.files.contains(h.reportPath()));
    EXPECT_TRUE(h.main().endReport.written());
}

TEST(EndReport, AFailedWriteIsReportedTheRunGoesOnAndNoStaleReportIsMailed) {
    ReportHarness h;
    h.put("TASK_17_ENABLE_TICKBOX", "1");
    h.platform.files["C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTCSYNC-END-REPORT-EMAIL.bat"] = "call x\r\n";
    h.platform.files[h.reportPath()] = "an older run's report\r\n";
    h.platform.unwritable.insert(h.reportPath());
    h.start();
    h.pressRunButton();
    h.advance(15'000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(),
              "!!! END REPORT NOT WRITTEN - cannot write " + h.reportPath() + " !!!");
    EXPECT_FALSE(h.main().endReport.written());
    EXPECT_NE(h.main().LOG_FILE_OUTPUT_TEXTBOX.text().find("FINAL ACTION:"), std::string::npos);
    h.advance(1000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(),
              "!!! REPORT EMAIL NOT SENT - THE END REPORT WAS NOT WRITTEN !!!");
    EXPECT_EQ(h.main().TASK_16_LIGHT.back(), colour::red);
    EXPECT_EQ(h.main().TASK_17_LIGHT.back(), colour::red);
    EXPECT_TRUE(h.platform.launches.empty());
    h.advance(2000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "!!! COMPLETED - FINISHED - DONE !!!");
    EXPECT_EQ(h.platform.files.at(h.reportPath()), "an older run's report\r\n");
}

TEST(EndReport, WithoutAHomeFolderNothingIsWrittenAtTheRootOfTheDisk) {
    Harness h;
    h.start();
    ASSERT_TRUE(h.main().MULTILOADER_START_STOP_BUTTON.click());
    h.advance(15'000);
    EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "!!! END REPORT NOT WRITTEN - NO HOME FOLDER IS SET !!!");
    EXPECT_TRUE(h.platform.files.empty());
    EXPECT_TRUE(h.platform.folders.empty());
}

TEST(EndReport, TheSyncChartIsDrawnBesideTheReportAndTheMailAttachesItOnlyWhenSafe) {
    const std::string folder = "C:\\SYNCWARD-ROOT\\PACEDECK\\";
    const std::string history = folder + "LOGS\\BTCSYNC-SYNC-HISTORY.csv";
    const std::string chart = folder + "REPORTS\\BTCSYNC-SYNC-CHART.svg";
    const std::string script = folder + "BATS\\BTCSYNC-END-REPORT-EMAIL.bat";
    const std::string reportOnly = "call mail -a \"" + folder + "REPORTS\\BTCSYNC-END-REPORT.LOG\"";
    const std::string withChart = reportOnly + " \"" + chart + "\"";
    struct Case {
        const char* name;
        const char* history;    // written during the run, or before it by an earlier run
        const char* syncCheck;  // nullptr: never saved, which counts as ticked
        bool chartUnwritable;
        std::string saved;
        bool chartAfter;
        std::string mailed;
    };
    const std::vector<Case> cases = {
        {"ticked, saved before the tick", "during", nullptr, false, reportOnly, true, withChart},
        {"unticked since the save", "during", "0", false, withChart, true, reportOnly},
        {"ticked, saved with it", "during", "1", false, withChart, true, withChart},
        {"no history: an older chart goes", "", "1", false, withChart, false, reportOnly},
        {"an earlier run's history is not this run's", "before", "0", false, withChart, false, reportOnly},
        {"chart not writable", "during", "1", true, withChart, false, reportOnly},
        {"report not attached", "during", "1", false, "call mail", true, "call mail"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReportHarness h;
        h.put("TASK_17_ENABLE_TICKBOX", "1");
        h.put("EMAIL_OUTPUT_END_COMMAND_TEXTBOX", c.saved);
        for (const auto* sub : {"BATS", "LOGS", "REPORTS"}) h.platform.folders.insert(folder + sub);
        if (c.syncCheck) h.put("SYNC_CHECK_TICKBOX", c.syncCheck);
        h.platform.files[script] = c.saved + "\r\n";
        h.platform.files[chart] = "an older run's chart";
        const auto keepHistory = [&] {
            h.platform.files[history] =
                "time,height,headers,peers\n2026-12-08T02:00:00Z,100,345,0\n2026-12-08T03:00:00Z,345,345,8\n";
        };
        if (c.history == std::string("before")) keepHistory();
        if (c.chartUnwritable) h.platform.unwritable.insert(chart);
        h.start();
        h.runWithReadings("100", "345", [&] {
            if (c.history == std::string("during")) keepHistory();
        });

        EXPECT_EQ(h.platform.files.contains(chart), c.chartAfter || c.chartUnwritable);
        if (c.chartAfter) {
            const auto& svg = h.platform.files.at(chart);
            EXPECT_NE(svg.find("<title>PACEDECK - BTC - HEIGHT AND HEADERS - "), std::string::npos);
            EXPECT_EQ(svg.find("no samples"), std::string::npos);
        }
        EXPECT_EQ(h.platform.files.at(script), c.mailed + "\r\n");
        EXPECT_EQ(h.main().EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text(), c.mailed);
        // The report and its mail go whatever became of the chart.
        EXPECT_TRUE(h.main().endReport.written());
        const auto launched = h.platform.launched();
        EXPECT_NE(std::find(launched.begin(), launched.end(), script), launched.end());
    }
}

}  // namespace pd::test
