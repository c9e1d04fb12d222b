#include <gtest/gtest.h>

#include <vector>

#include "core/App.hpp"
#include "core/HomeLayout.hpp"
#include "core/Profile.hpp"

namespace pd {

TEST(Profile, TheBuildsOwnSystemGivesTheDefault) {
#ifdef _WIN32
    EXPECT_EQ(defaultProfile("C:\\Users\\me").name, "windows");
#else
    EXPECT_EQ(defaultProfile("/home/me").name, "posix");
#endif
}

TEST(Profile, HomeFolderFilesFollowTheConventionsOfEachSystem) {
    const auto posix = posixProfile("/home/me");
    EXPECT_EQ(posix.defaultHome, "/home/me/SYNCWARD-ROOT/PACEDECK");
    auto files = [](const HomeLayout& h) {
        return std::vector<std::string>{h.script(Script::RunQt),
                                        h.script(Script::RunBlockcounter),
                                        h.script(Script::EndReportEmail),
                                        h.latestBlockcount(),
                                        h.cryptoConfig(),
                                        h.mailerLog(),
                                        h.endReport(),
                                        h.syncHistory(),
                                        h.syncChart(),
                                        h.folder(HomeFolder::Reports)};
    };
    EXPECT_EQ(files(HomeLayout(windowsProfile(), "C:\\SYNCWARD-ROOT\\PACEDECK", "BTC")),
              (std::vector<std::string>{
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTC-RUN-QT.bat",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTC-RUN-BLOCKCOUNTER-GBC.bat",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTC-END-REPORT-EMAIL.bat",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\BLOCKCOUNTS\\BTC-LATEST-BLOCKCOUNT.LOG",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\LOGS\\BTC-SEND-EMAIL.LOG",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTC-END-REPORT.LOG",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\LOGS\\BTC-SYNC-HISTORY.csv",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTC-SYNC-CHART.svg",
                  "C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS",
              }));
    EXPECT_EQ(
        files(HomeLayout(posix, "/h", "BTC")),
        (std::vector<std::string>{
            "/h/BATS/BTC-RUN-QT.sh", "/h/BATS/BTC-RUN-BLOCKCOUNTER-GBC.sh", "/h/BATS/BTC-END-REPORT-EMAIL.sh",
            "/h/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG", "/h/CONFIGS/BTC-CRYPTO-CONFIG.conf",
            "/h/LOGS/BTC-SEND-EMAIL.LOG", "/h/REPORTS/BTC-END-REPORT.LOG", "/h/LOGS/BTC-SYNC-HISTORY.csv",
            "/h/REPORTS/BTC-SYNC-CHART.svg", "/h/REPORTS"}));
    // An empty home folder still gives the folder layout, beginning with the separator.
    EXPECT_EQ(HomeLayout(windowsProfile(), "", "BTC").endReport(), "\\REPORTS\\BTC-END-REPORT.LOG");
    EXPECT_EQ(windowsProfile().zeroReading(), "0\r\n");
    EXPECT_EQ(posix.zeroReading(), "0\n");
}

}  // namespace pd

namespace pd {

TEST(Profile, OnlyTheProgramSuffixLeavesTheCopysName) {
    struct Case {
        const char* argv0;
        Profile profile;
        const char* exe;
    };
    for (const auto& c : std::vector<Case>{{"/opt/pd/LTC.main", posixProfile("/h"), "LTC.main"},
                                           {"LTC.test", posixProfile("/h"), "LTC.test"},
                                           {"./BTC", posixProfile("/h"), "BTC"},
                                           {"C:\\PD\\LTC.main.exe", windowsProfile(), "LTC.main"},
                                           {"C:\\PD\\BTC.EXE", windowsProfile(), "BTC"},
                                           {"LTC.test", windowsProfile(), "LTC.test"}})
        EXPECT_EQ(exeNameFrom(c.argv0, c.profile.executableSuffix), c.exe) << c.argv0;
}

}  // namespace pd
