#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/AllOutputCommandsWindow.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd::test {

TEST(OutputCommandsWindows, BeforeAnySaveTheyShowThePlaceholdersAndPathsFromAnEmptyHome) {
    Harness h("BTC", windowsProfile());
    h.start();
    auto& single = h.app.open<SingleOutputCommandsWindow>(&h.main());
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(),
              "!!! NO COMMAND SELECTED - PLEASE SELECT A COMMAND !!!\r\n");
    ASSERT_TRUE(single.QT_COMMAND_BUTTON.click());
    EXPECT_EQ(single.COMMAND_NAME_LABEL.text(), "RUN COMMAND - QT");
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(), MainWindow::placeholderQt);
    EXPECT_EQ(single.ALL_LOCATIONS_TEXTBOX.text(), "\\BATS\\BTC-RUN-QT.bat");
    ASSERT_TRUE(single.CLI_STOP_COMMAND_BUTTON.click());
    EXPECT_EQ(single.COMMAND_NAME_LABEL.text(), "RUN COMMAND - CLI - STOP");
    EXPECT_EQ(single.ALL_LOCATIONS_TEXTBOX.text(), "\\BATS\\BTC-RUN-CLI-STOP.bat");
    ASSERT_TRUE(single.START_EMAIL_COMMAND_BUTTON.click());
    EXPECT_EQ(single.COMMAND_NAME_LABEL.text(), "RUN COMMAND - SendEmail.exe - START EMAIL");
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(), "");

    ASSERT_TRUE(single.VIEW_ALL_COMMANDS_BUTTON.click());
    auto* all = h.app.find<AllOutputCommandsWindow>();
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->owner(), &single);
    EXPECT_EQ(all->SW_D_COMMAND_TEXTBOX.text(), MainWindow::placeholderDaemon);
    EXPECT_EQ(all->GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.text(), MainWindow::placeholderBlockcount);
    EXPECT_EQ(all->PACEDECK_QT_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-RUN-QT.bat");
    EXPECT_EQ(all->PACEDECK_DAEMON_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-RUN-DAEMON.bat");
    EXPECT_EQ(all->PACEDECK_CLI_STOP_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-RUN-CLI-STOP.bat");
    EXPECT_EQ(all->PACEDECK_BLOCKCOUNTER_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-RUN-BLOCKCOUNTER-GBC.bat");
    EXPECT_EQ(all->PACEDECK_SE_START_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-START-EMAIL.bat");
    EXPECT_EQ(all->PACEDECK_SE_END_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-END-REPORT-EMAIL.bat");
    EXPECT_EQ(all->PACEDECK_BLOCKCHAININFO_BAT_LOCATION_TEXTBOX.text(), "\\BATS\\BTC-RUN-BLOCKCHAININFO.bat");
    EXPECT_EQ(all->PACEDECK_CONNECTIONCOUNT_BAT_LOCATION_TEXTBOX.text(),
              "\\BATS\\BTC-RUN-CONNECTIONCOUNT.bat");
}

TEST(OutputCommandsWindows, TheSingleViewReadsAtTheClickTheAllViewAtOpening) {
    Harness h("LTC", posixProfile("/home/tester"));
    h.put("PACEDECK_HOME_TEXTBOX", "/home/tester/PD");
    h.put("EMAIL_OUTPUT_END_COMMAND_TEXTBOX", "sendemail -f a@b -t c@d");
    h.start();
    auto& single = h.app.open<SingleOutputCommandsWindow>(&h.main());
    ASSERT_TRUE(single.END_EMAIL_COMMAND_BUTTON.click());
    EXPECT_EQ(single.COMMAND_NAME_LABEL.text(), "RUN COMMAND - sendemail - END REPORT EMAIL");
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(), "sendemail -f a@b -t c@d");
    EXPECT_EQ(single.ALL_LOCATIONS_TEXTBOX.text(), "/home/tester/PD/BATS/LTC-END-REPORT-EMAIL.sh");

    auto& all = h.app.open<AllOutputCommandsWindow>(&single);
    h.main().SW_QT_COMMAND_TEXTBOX.setText("exec /usr/bin/litecoin-qt");
    h.main().EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText("changed");
    EXPECT_EQ(all.SW_QT_COMMAND_TEXTBOX.text(), MainWindow::placeholderQt);
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(), "sendemail -f a@b -t c@d");
    ASSERT_TRUE(single.QT_COMMAND_BUTTON.click());
    EXPECT_EQ(single.ALL_COMMANDS_TEXTBOX.text(), "exec /usr/bin/litecoin-qt");
    ASSERT_TRUE(single.BLOCKCOUNTER_GBC_COMMAND_BUTTON.click());
    EXPECT_EQ(single.COMMAND_NAME_LABEL.text(), "RUN COMMAND - BLOCKCOUNTER - GETBLOCKCOUNT");
    EXPECT_EQ(single.ALL_LOCATIONS_TEXTBOX.text(), "/home/tester/PD/BATS/LTC-RUN-BLOCKCOUNTER-GBC.sh");
}

TEST(OutputCommandsWindows, EachStoresItsPlaceWhenClosed) {
    Harness h("BTC", windowsProfile());
    h.start();
    auto& single = h.app.open<SingleOutputCommandsWindow>(&h.main());
    auto& all = h.app.open<AllOutputCommandsWindow>(&single);
    all.moveTo(10, 20);
    ASSERT_TRUE(all.OK_BUTTON.click());
    single.moveTo(30, 40);
    single.close();
    EXPECT_EQ(h.stored("ALL_OUTPUT_COMMANDS_WINDOW-Left"), "10");
    EXPECT_EQ(h.stored("ALL_OUTPUT_COMMANDS_WINDOW-Top"), "20");
    EXPECT_EQ(h.stored("SINGLE_OUTPUT_COMMANDS_WINDOW-Left"), "30");
    EXPECT_EQ(h.stored("SINGLE_OUTPUT_COMMANDS_WINDOW-Width"), "<unset>");
    EXPECT_EQ(all.geometry().width, 12480);
}

}  // namespace pd::test
