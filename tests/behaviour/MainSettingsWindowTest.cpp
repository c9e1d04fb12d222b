#include <gtest/gtest.h>

#include "FakeDialogs.hpp"
#include "Harness.hpp"
#include "confgen/ConfGeneratorWindow.hpp"
#include "schedule/PowerAutotimerSettingsWindow.hpp"
#include "schedule/SchedulerWindow.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd::test {

namespace {

struct Settings {
    explicit Settings(std::string exe = "NEWCOIN", Profile profile = windowsProfile())
        : h(std::move(exe), std::move(profile)) {
        h.app.setDialogs(dialogs);
    }
    MainSettingsWindow& open() {
        if (!h.app.running()) h.start();
        EXPECT_TRUE(h.main().SETTINGS_BUTTON.click());
        auto* w = h.app.find<MainSettingsWindow>();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    FakeDialogs dialogs;
    Harness h;
};

}  // namespace

TEST(MainSettingsWindow, FirstOpeningOfANewNameGreysWhatNeedsAHomeFolder) {
    Settings s;
    auto& w = s.open();
    EXPECT_EQ(w.owner(), &s.h.main());
    EXPECT_TRUE(w.modal());
    EXPECT_EQ(w.caption(), "PACEDECK - MAIN SETTINGS");
    EXPECT_EQ(w.geometry().left, 1000);
    EXPECT_EQ(w.geometry().width, 9225);
    EXPECT_EQ(w.geometry().height, 5640);

    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "");
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.back(), colour::red);
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.text(), "!!! NOT DEFAULT FOLDER - BEWARE OF FAILURES !!!");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colour::red);
    EXPECT_FALSE(w.CREATE_FOLDERS_BUTTON.enabled());
    EXPECT_FALSE(w.CRYPTO_SETTINGS_BUTTON.enabled());
    EXPECT_FALSE(w.AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.enabled());
    // The configuration step comes after the home folder rule and makes the manager usable.
    EXPECT_TRUE(w.CONF_MANAGER_BUTTON.enabled());
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.text(), "\\CONFIGS\\NEWCOIN-CRYPTO-CONFIG.conf");
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.back(), colour::green);
    EXPECT_FALSE(w.CONF_FILE_LOCATION_TEXTBOX.enabled());
    EXPECT_FALSE(w.CONF_BROWSE_BUTTON.enabled());
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:05:00");
    EXPECT_FALSE(w.CRYPTO_SETTINGS_BUTTON.click());
}

TEST(MainSettingsWindow, OnlyTheExactDefaultFolderIsGreen) {
    Settings s;
    s.h.platform.exeFolder = "C:\\Tools";
    auto& w = s.open();
    ASSERT_TRUE(w.USE_DEFAULT_BUTTON.click());
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "C:\\SYNCWARD-ROOT\\PACEDECK");
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.back(), colour::green);
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.text(), "!!! DEFAULT FOLDER USED - THANKS !!!");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colour::green);
    EXPECT_TRUE(w.CREATE_FOLDERS_BUTTON.enabled());
    EXPECT_TRUE(w.CRYPTO_SETTINGS_BUTTON.enabled());

    ASSERT_TRUE(w.PACEDECK_HOME_TEXTBOX.type("c:\\syncward-root\\pacedeck"));
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.back(), colour::red);
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.text(), "!!! NOT DEFAULT FOLDER - BEWARE OF FAILURES !!!");

    ASSERT_TRUE(w.USE_CURRENT_BUTTON.click());
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "C:\\Tools");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colour::red);
}

TEST(MainSettingsWindow, EmptyingTheHomeFolderClearsAndStoresTheAutoloadTickAtOnce) {
    Settings s("BTC", posixProfile("/home/tester"));
    s.h.put("PACEDECK_HOME_TEXTBOX", "/data/pd");
    s.h.put("AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX", "1");
    auto& w = s.open();
    ASSERT_TRUE(w.AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.ticked());
    ASSERT_TRUE(w.PACEDECK_HOME_TEXTBOX.type(""));
    EXPECT_FALSE(w.AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.ticked());
    EXPECT_FALSE(w.AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.enabled());
    EXPECT_EQ(s.h.stored("AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX"), "0");
    EXPECT_FALSE(s.h.main().AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.ticked());

    ASSERT_TRUE(w.PACEDECK_HOME_TEXTBOX.type("/data/pd"));
    ASSERT_TRUE(w.AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.click());
    EXPECT_EQ(s.h.stored("AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX"), "1");
    EXPECT_TRUE(s.h.main().AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.ticked());
}

TEST(MainSettingsWindow, OwnConfTickLosesATypedPathWhenCleared) {
    Settings s;
    s.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = s.open();
    ASSERT_TRUE(w.USE_OWN_CONF_TICKBOX.click());
    EXPECT_TRUE(w.CONF_FILE_LOCATION_TEXTBOX.enabled());
    EXPECT_FALSE(w.CONF_FILE_LOCATION_TEXTBOX.locked());
    EXPECT_TRUE(w.CONF_BROWSE_BUTTON.enabled());
    EXPECT_FALSE(w.CONF_MANAGER_BUTTON.enabled());
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.back(), colour::red);
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.text(), "!!! CONF FILE CHANGED - RE-SAVE CRYPTO SETTINGS !!!");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colour::red);
    EXPECT_EQ(s.h.stored("USE_OWN_CONF_TICKBOX"), "1");

    ASSERT_TRUE(w.CONF_FILE_LOCATION_TEXTBOX.type("D:\\mine\\node.conf"));
    ASSERT_TRUE(w.USE_OWN_CONF_TICKBOX.click());
    const std::string fallback = "C:\\PD\\CONFIGS\\NEWCOIN-CRYPTO-CONFIG.conf";
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.text(), fallback);
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.back(), colour::green);
    EXPECT_TRUE(w.CONF_FILE_LOCATION_TEXTBOX.locked());
    EXPECT_EQ(s.h.stored("CONF_FILE_LOCATION_TEXTBOX"), fallback);
    EXPECT_EQ(s.h.main().CONF_FILE_LOCATION_TEXTBOX.text(), fallback);

    ASSERT_TRUE(w.USE_OWN_CONF_TICKBOX.click());
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.text(), fallback);
}

TEST(MainSettingsWindow, CancelAndCloseBoxStoreButDoNotCopyToTheMainWindow) {
    Settings s;
    s.h.put("PACEDECK_HOME_TEXTBOX", "C:\\OLD");
    auto& w = s.open();
    ASSERT_TRUE(w.PACEDECK_HOME_TEXTBOX.type("C:\\NEW"));
    ASSERT_TRUE(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.type("00:01:30"));
    w.moveTo(1500, 2500);
    s.h.store.clearLog();
    ASSERT_TRUE(w.CANCEL_BUTTON.click());
    EXPECT_FALSE(w.isOpen());
    EXPECT_EQ(s.h.stored("PACEDECK_HOME_TEXTBOX"), "C:\\NEW");
    EXPECT_EQ(s.h.stored("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "00:01:30");
    EXPECT_EQ(s.h.stored("MAIN_SETTINGS-Left"), "1500");
    EXPECT_EQ(s.h.stored("MAIN_SETTINGS-Width"), "<unset>");
    EXPECT_EQ(s.h.main().PACEDECK_HOME_TEXTBOX.text(), "C:\\OLD");
    EXPECT_EQ(s.h.main().HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:05:00");
    s.h.advance(0);

    auto& again = s.open();
    EXPECT_EQ(again.PACEDECK_HOME_TEXTBOX.text(), "C:\\NEW");
    EXPECT_EQ(again.geometry().left, 1500);
    ASSERT_TRUE(again.PACEDECK_HOME_TEXTBOX.type("C:\\BOX"));
    again.close();
    EXPECT_EQ(s.h.stored("PACEDECK_HOME_TEXTBOX"), "C:\\BOX");
    EXPECT_EQ(s.h.main().PACEDECK_HOME_TEXTBOX.text(), "C:\\OLD");
}

TEST(MainSettingsWindow, OkStoresCopiesAndDerivesTheBlockCountLog) {
    Settings s("BTC");
    auto& w = s.open();
    ASSERT_TRUE(w.USE_DEFAULT_BUTTON.click());
    ASSERT_TRUE(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.type("00:02:00"));
    s.h.store.clearLog();
    ASSERT_TRUE(w.OK_BUTTON.click());
    EXPECT_FALSE(w.isOpen());
    const std::vector<std::string> okKeys = {"PACEDECK_HOME_TEXTBOX",
                                             "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX",
                                             "USE_OWN_CONF_TICKBOX",
                                             "CONF_FILE_LOCATION_TEXTBOX",
                                             "GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX",
                                             "AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX"};
    auto written = s.h.store.writtenKeys("BTC");
    ASSERT_GE(written.size(), okKeys.size());
    EXPECT_EQ(std::vector<std::string>(written.begin(), written.begin() + 6), okKeys);

    auto& main = s.h.main();
    const std::string log = "C:\\SYNCWARD-ROOT\\PACEDECK\\BLOCKCOUNTS\\BTC-LATEST-BLOCKCOUNT.LOG";
    EXPECT_EQ(main.PACEDECK_HOME_TEXTBOX.text(), "C:\\SYNCWARD-ROOT\\PACEDECK");
    EXPECT_EQ(main.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:02:00");
    EXPECT_EQ(main.CONF_FILE_LOCATION_TEXTBOX.text(),
              "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf");
    EXPECT_EQ(main.GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.text(), log);
    EXPECT_EQ(s.h.stored("GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX"), log);
}

TEST(MainSettingsWindow, CreateFoldersMakesTheHomeItsFoldersAndAnEmptyBlockCountLog) {
    Settings s("BTC", posixProfile("/home/tester"));
    s.h.put("PACEDECK_HOME_TEXTBOX", "/data/pd");
    s.h.platform.folders = {"/"};
    auto& w = s.open();
    const auto colourBefore = w.MESSAGE_STATUS_TEXTBOX.back();
    s.h.platform.files["/data/pd/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG"] = "812345\n";
    ASSERT_TRUE(w.CREATE_FOLDERS_BUTTON.click());
    for (auto f : {"/data", "/data/pd", "/data/pd/BATS", "/data/pd/BLOCKCOUNTS", "/data/pd/CONFIGS",
                   "/data/pd/LOGS", "/data/pd/REPORTS"})
        EXPECT_TRUE(s.h.platform.folders.contains(f)) << f;
    EXPECT_EQ(s.h.platform.files["/data/pd/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG"], "\n");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.text(), "!!! FOLDERS & GETBLOCKCOUNT LOG FILE CREATED !!!");
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colourBefore);
    EXPECT_TRUE(s.dialogs.messages.empty());

    Settings win("BTC");
    win.h.put("PACEDECK_HOME_TEXTBOX", "C:\\SYNCWARD-ROOT\\PACEDECK");
    ASSERT_TRUE(win.open().CREATE_FOLDERS_BUTTON.click());
    EXPECT_EQ(win.h.platform.files["C:\\SYNCWARD-ROOT\\PACEDECK\\BLOCKCOUNTS\\BTC-LATEST-BLOCKCOUNT.LOG"],
              "\r\n");
}

TEST(MainSettingsWindow, AFolderThatCannotBeMadeIsReportedAndNothingIsLost) {
    Settings s("BTC", posixProfile("/home/tester"));
    s.h.put("PACEDECK_HOME_TEXTBOX", "/data/pd");
    s.h.platform.folders = {"/data", "/data/pd"};
    s.h.platform.unwritable = {"/data/pd/CONFIGS"};
    auto& w = s.open();
    ASSERT_TRUE(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.type("00:09:00"));
    ASSERT_TRUE(w.CREATE_FOLDERS_BUTTON.click());
    EXPECT_NE(w.MESSAGE_STATUS_TEXTBOX.text().find("NOT CREATED"), std::string::npos);
    EXPECT_NE(w.MESSAGE_STATUS_TEXTBOX.text().find("/data/pd/CONFIGS"), std::string::npos);
    EXPECT_EQ(w.MESSAGE_STATUS_TEXTBOX.back(), colour::red);
    ASSERT_EQ(s.dialogs.messages.size(), 1u);
    EXPECT_FALSE(s.h.platform.folders.contains("/data/pd/LOGS"));
    EXPECT_FALSE(s.h.platform.files.contains("/data/pd/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG"));
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "/data/pd");
    EXPECT_EQ(w.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text(), "00:09:00");

    // The log itself failing is reported the same way.
    s.h.platform.unwritable = {"/data/pd/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG"};
    ASSERT_TRUE(w.CREATE_FOLDERS_BUTTON.click());
    EXPECT_NE(w.MESSAGE_STATUS_TEXTBOX.text().find("NOT CREATED"), std::string::npos);
    EXPECT_EQ(s.dialogs.messages.size(), 2u);
}

TEST(MainSettingsWindow, DialogsAnswerIntoTheFieldsAndCancellingLeavesThem) {
    Settings s("BTC", posixProfile("/home/tester"));
    s.h.put("PACEDECK_HOME_TEXTBOX", "/data/pd");
    auto& w = s.open();
    s.dialogs.folderAnswers = {std::nullopt, "/srv/pacedeck"};
    ASSERT_TRUE(w.BROWSE_FOLDER_BUTTON.click());
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "/data/pd");
    ASSERT_TRUE(w.BROWSE_FOLDER_BUTTON.click());
    EXPECT_EQ(w.PACEDECK_HOME_TEXTBOX.text(), "/srv/pacedeck");
    EXPECT_EQ(s.dialogs.asked.at(0).title, "PACEDECK - Home Folder");
    EXPECT_EQ(s.dialogs.asked.at(0).start, "/data/pd");

    ASSERT_TRUE(w.USE_OWN_CONF_TICKBOX.click());
    ASSERT_TRUE(w.CONF_FILE_LOCATION_TEXTBOX.type("/etc/coin.conf"));
    s.dialogs.fileAnswers = {std::nullopt, "/srv/pacedeck/other.conf"};
    ASSERT_TRUE(w.CONF_BROWSE_BUTTON.click());
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.text(), "/etc/coin.conf");
    ASSERT_TRUE(w.CONF_BROWSE_BUTTON.click());
    EXPECT_EQ(w.CONF_FILE_LOCATION_TEXTBOX.text(), "/srv/pacedeck/other.conf");
    const auto& asked = s.dialogs.asked.at(2);
    EXPECT_EQ(asked.title, "SELECT \".CONF\" FILE:");
    EXPECT_EQ(asked.filter, "CONF Files (*.conf)|*.conf|All files (*.*)|*.*");
    EXPECT_EQ(asked.extension, "conf");
    EXPECT_EQ(asked.start, "/srv/pacedeck");
}

}  // namespace pd::test

namespace pd::test {

TEST(MainSettingsWindow, ItsButtonsOpenTheirWindowsOwnedByIt) {
    Settings s;
    auto& w = s.open();
    w.PACEDECK_HOME_TEXTBOX.type("C:\\COINS");
    w.SE_SETTINGS_BUTTON.click();
    auto* email = s.h.app.find<EmailSettingsWindow>();
    ASSERT_NE(email, nullptr);
    EXPECT_EQ(email->owner(), &w);
    email->close();
    w.CONF_MANAGER_BUTTON.click();
    auto* generator = s.h.app.find<ConfGeneratorWindow>();
    ASSERT_NE(generator, nullptr);
    // The generator writes under the folder this window shows, before OK confirms it.
    EXPECT_EQ(generator->confFilePath(), "C:\\COINS\\CONFIGS\\NEWCOIN-CRYPTO-CONFIG.conf");
    generator->close();
    w.POWER_AUTOTIMER_BUTTON.click();
    ASSERT_NE(s.h.app.find<PowerAutotimerSettingsWindow>(), nullptr);
    s.h.app.find<PowerAutotimerSettingsWindow>()->close();
    w.SCHEDULER_BUTTON.click();
    ASSERT_NE(s.h.app.find<SchedulerWindow>(), nullptr);
    s.h.app.find<SchedulerWindow>()->close();
    w.REPORTS_LOGS_BUTTON.click();
    ASSERT_NE(s.h.app.find<ReportsLogsWindow>(), nullptr);
    s.h.app.find<ReportsLogsWindow>()->close();
    w.VIEW_OUTPUT_COMMANDS_BUTTON.click();
    auto* viewer = s.h.app.find<SingleOutputCommandsWindow>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->owner(), &w);
}

}  // namespace pd::test
