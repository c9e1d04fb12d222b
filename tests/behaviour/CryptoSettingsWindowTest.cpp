#include <gtest/gtest.h>

#include "FakeDialogs.hpp"
#include "Harness.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

namespace {

struct Crypto {
    explicit Crypto(std::string exe = "BTC", Profile profile = windowsProfile())
        : h(std::move(exe), std::move(profile)) {
        h.app.setDialogs(dialogs);
        h.start();
    }
    MainSettingsWindow& settings() {
        if (auto* w = h.app.find<MainSettingsWindow>()) return *w;
        EXPECT_TRUE(h.main().SETTINGS_BUTTON.click());
        return *h.app.find<MainSettingsWindow>();
    }
    CryptoSettingsWindow& open() {
        EXPECT_TRUE(settings().CRYPTO_SETTINGS_BUTTON.click());
        auto* w = h.app.find<CryptoSettingsWindow>();
        EXPECT_NE(w, nullptr);
        return *w;
    }
    // The default home confirmed by OK, as a user sets up a copy.
    void confirmDefaultHome() {
        auto& s = settings();
        EXPECT_TRUE(s.USE_DEFAULT_BUTTON.click());
        EXPECT_TRUE(s.OK_BUTTON.click());
        h.advance(0);
    }
    void useEverything(CryptoSettingsWindow& w) {
        for (auto* b : {&w.USE_QT_FOLDER_BUTTON, &w.USE_QT_FILE_BUTTON, &w.USE_DAEMON_FOLDER_BUTTON,
                        &w.USE_DAEMOND_FILE_BUTTON, &w.USE_DAEMONCLI_FILE_BUTTON})
            EXPECT_TRUE(b->click());
    }
    FakeDialogs dialogs;
    Harness h;
};

const std::string btcQt =
    "call \"C:\\Program Files\\Bitcoin\\bitcoin-qt.exe\" "
    "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN "
    "-disablewallet=0";
// The cli's commands name the node's data folder after the conf: its cookie is there.
const std::string btcCliStop =
    "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoin-cli.exe\" "
    "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN  stop";
const std::string btcBlockcount =
    "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoin-cli.exe\" "
    "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN getblockcount "
    "> "
    "C:\\SYNCWARD-ROOT\\PACEDECK\\BLOCKCOUNTS\\BTC-LATEST-BLOCKCOUNT.LOG";
// The sync check's questions: the same cli and configuration, the answer printed as it is.
const std::string btcCli =
    "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoin-cli.exe\" "
    "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN ";
const std::string btcDaemon =
    "call \"C:\\Program Files\\Bitcoin\\Daemon\\bitcoind.exe\" "
    "-conf=C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf -datadir=D:\\BTC-CHAIN ";

}  // namespace

TEST(CryptoSettingsWindow, FirstOpeningShowsEmptyFieldsAndGeneratesWithinASecond) {
    Crypto c("NEWCOIN");
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = c.open();
    EXPECT_EQ(w.owner(), c.h.app.find<MainSettingsWindow>());
    EXPECT_EQ(w.caption(), "PACEDECK - CRYPTO SETTINGS");
    EXPECT_EQ(w.geometry().width, 8895);
    EXPECT_EQ(w.geometry().height, 6735);
    for (auto* e :
         {&w.CRYPTO_NAME_TEXTBOX, &w.BLOCKCHAIN_HOME_TEXTBOX, &w.QT_LOCATION_TEXTBOX, &w.QT_NAME_TEXTBOX,
          &w.DAEMON_CLI_LOCATION_TEXTBOX, &w.DAEMOND_NAME_TEXTBOX, &w.DAEMONCLI_NAME_SETTINGS_TEXTBOX})
        EXPECT_EQ(e->text(), "") << e->name();
    for (auto* t : {&w.QT_WALLET_TICKBOX, &w.DAEMON_WALLET_TICKBOX, &w.CLI_DAEMON_TICKBOX}) {
        EXPECT_FALSE(t->ticked());
        EXPECT_TRUE(t->enabled());
    }
    for (auto* t :
         {&w.QT_DISABLE_WALLET_TICKBOX, &w.DAEMON_DISABLE_WALLET_TICKBOX, &w.DISABLE_DAEMON_TICKBOX}) {
        EXPECT_FALSE(t->ticked());
        EXPECT_FALSE(t->enabled());
    }
    EXPECT_EQ(w.SW_QT_COMMAND_TEXTBOX.text(), MainWindow::placeholderQt);
    c.h.advance(999);
    EXPECT_EQ(w.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.text(), MainWindow::placeholderBlockcount);
    c.h.advance(1);
    // The main window has no home folder yet: every path comes from the settings window's.
    const std::string conf = "-conf=C:\\PD\\CONFIGS\\NEWCOIN-CRYPTO-CONFIG.conf";
    EXPECT_EQ(w.SW_QT_COMMAND_TEXTBOX.text(), "call \"\\\" " + conf + " -datadir= ");
    EXPECT_EQ(w.SW_D_COMMAND_TEXTBOX.text(), "call \"\\\" " + conf + " -datadir= ");
    EXPECT_EQ(w.SWCLI_STOP_COMMAND_TEXTBOX.text(), "call \"\\\" " + conf + "  stop");
    EXPECT_EQ(w.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.text(),
              "call \"\\\" " + conf + " getblockcount > C:\\PD\\BLOCKCOUNTS\\NEWCOIN-LATEST-BLOCKCOUNT.LOG");
}

TEST(CryptoSettingsWindow, OptionRulesKeepEachPairConsistent) {
    Crypto c;
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = c.open();
    auto& option = w.QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX;
    ASSERT_TRUE(w.QT_WALLET_TICKBOX.click());
    EXPECT_EQ(option.text(), "-disablewallet=0");
    EXPECT_TRUE(w.QT_DISABLE_WALLET_TICKBOX.enabled());
    ASSERT_TRUE(w.QT_DISABLE_WALLET_TICKBOX.click());
    EXPECT_EQ(option.text(), "-disablewallet=1");
    EXPECT_FALSE(w.QT_WALLET_TICKBOX.enabled());
    EXPECT_FALSE(w.QT_WALLET_TICKBOX.click());
    ASSERT_TRUE(w.QT_DISABLE_WALLET_TICKBOX.click());
    EXPECT_EQ(option.text(), "-disablewallet=0");
    EXPECT_TRUE(w.QT_WALLET_TICKBOX.enabled());
    ASSERT_TRUE(w.QT_WALLET_TICKBOX.click());
    EXPECT_EQ(option.text(), "");
    EXPECT_FALSE(w.QT_DISABLE_WALLET_TICKBOX.ticked());
    EXPECT_FALSE(w.QT_DISABLE_WALLET_TICKBOX.enabled());

    ASSERT_TRUE(w.CLI_DAEMON_TICKBOX.click());
    EXPECT_EQ(w.DASH_DISABLE_DAEMON_EQUALS_TEXTBOX.text(), "-daemon=1");
    ASSERT_TRUE(w.DISABLE_DAEMON_TICKBOX.click());
    EXPECT_EQ(w.DASH_DISABLE_DAEMON_EQUALS_TEXTBOX.text(), "-daemon=0");
    EXPECT_EQ(w.DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX.text(), "");
}

TEST(CryptoSettingsWindow, StoredTicksAreMadeConsistentWhenLoaded) {
    Crypto c;
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    c.h.put("QT_WALLET_TICKBOX", "0");
    c.h.put("QT_DISABLE_WALLET_TICKBOX", "1");  // cannot stand without "Wallet"
    c.h.put("DAEMON_WALLET_TICKBOX", "1");
    c.h.put("DAEMON_DISABLE_WALLET_TICKBOX", "1");
    c.h.put("CLI_DAEMON_TICKBOX", "1");
    auto& w = c.open();
    EXPECT_FALSE(w.QT_DISABLE_WALLET_TICKBOX.ticked());
    EXPECT_FALSE(w.QT_DISABLE_WALLET_TICKBOX.enabled());
    EXPECT_TRUE(w.QT_WALLET_TICKBOX.enabled());
    EXPECT_EQ(w.QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX.text(), "");
    EXPECT_FALSE(w.DAEMON_WALLET_TICKBOX.enabled());
    EXPECT_EQ(w.DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX.text(), "-disablewallet=1");
    EXPECT_TRUE(w.DISABLE_DAEMON_TICKBOX.enabled());
    EXPECT_EQ(w.DASH_DISABLE_DAEMON_EQUALS_TEXTBOX.text(), "-daemon=1");
}

TEST(CryptoSettingsWindow, ExampleCommandsAndScriptsAreExactUnderTheWindowsProfile) {
    Crypto c("BTC");
    c.confirmDefaultHome();
    c.h.platform.folders = {"C:\\SYNCWARD-ROOT\\PACEDECK\\BATS"};
    auto& w = c.open();
    c.useEverything(w);
    ASSERT_TRUE(w.BLOCKCHAIN_HOME_TEXTBOX.type("D:\\BTC-CHAIN"));
    ASSERT_TRUE(w.CRYPTO_NAME_TEXTBOX.type("Bitcoin"));
    ASSERT_TRUE(w.QT_WALLET_TICKBOX.click());
    c.h.advance(1000);
    EXPECT_EQ(w.SW_QT_COMMAND_TEXTBOX.text(), btcQt);
    EXPECT_EQ(w.SW_D_COMMAND_TEXTBOX.text(), btcDaemon);
    EXPECT_EQ(w.SWCLI_STOP_COMMAND_TEXTBOX.text(), btcCliStop);
    EXPECT_EQ(w.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.text(), btcBlockcount);

    c.h.store.clearLog();
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    EXPECT_TRUE(c.dialogs.messages.empty());
    const std::vector<std::string> order = {"CRYPTO_NAME_TEXTBOX",
                                            "BLOCKCHAIN_HOME_TEXTBOX",
                                            "QT_LOCATION_TEXTBOX",
                                            "QT_NAME_TEXTBOX",
                                            "DAEMON_CLI_LOCATION_TEXTBOX",
                                            "DAEMONCLI_NAME_SETTINGS_TEXTBOX",
                                            "DAEMOND_NAME_TEXTBOX",
                                            "QT_WALLET_TICKBOX",
                                            "QT_DISABLE_WALLET_TICKBOX",
                                            "DAEMON_WALLET_TICKBOX",
                                            "DAEMON_DISABLE_WALLET_TICKBOX",
                                            "CLI_DAEMON_TICKBOX",
                                            "DISABLE_DAEMON_TICKBOX",
                                            "SYNC_CHECK_TICKBOX",
                                            "STALL_LIMIT_TEXTBOX",
                                            "SW_QT_COMMAND_TEXTBOX",
                                            "SW_D_COMMAND_TEXTBOX",
                                            "SWCLI_STOP_COMMAND_TEXTBOX",
                                            "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX",
                                            "GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX",
                                            "GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX"};
    EXPECT_EQ(c.h.store.writtenKeys("BTC"), order);
    auto& files = c.h.platform.files;
    const std::string bats = "C:\\SYNCWARD-ROOT\\PACEDECK\\BATS\\BTC";
    EXPECT_EQ(files[bats + "-RUN-QT.bat"], btcQt + "\r\n");
    EXPECT_EQ(files[bats + "-RUN-DAEMON.bat"], btcDaemon + "\r\n");
    EXPECT_EQ(files[bats + "-RUN-CLI-STOP.bat"], btcCliStop + "\r\n");
    EXPECT_EQ(files[bats + "-RUN-BLOCKCOUNTER-GBC.bat"], btcBlockcount + "\r\n");
    EXPECT_EQ(files[bats + "-RUN-BLOCKCHAININFO.bat"], btcCli + "getblockchaininfo\r\n");
    EXPECT_EQ(files[bats + "-RUN-CONNECTIONCOUNT.bat"], btcCli + "getconnectioncount\r\n");
    // A new copy checks the node, with the default stall limit; the main window has both.
    EXPECT_EQ(c.h.stored("SYNC_CHECK_TICKBOX"), "1");
    EXPECT_EQ(c.h.stored("STALL_LIMIT_TEXTBOX"), "00:30:00");
    EXPECT_EQ(c.h.stored("SW_QT_COMMAND_TEXTBOX"), btcQt);
    EXPECT_EQ(c.h.stored("GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX"), btcBlockcount);
    auto& main = c.h.main();
    EXPECT_EQ(main.SW_QT_COMMAND_TEXTBOX.text(), btcQt);
    EXPECT_EQ(main.SWCLI_STOP_COMMAND_TEXTBOX.text(), btcCliStop);
    EXPECT_EQ(main.CRYPTO_NAME_TEXTBOX.text(), "Bitcoin");
    EXPECT_EQ(main.QT_NAME_TEXTBOX.text(), "bitcoin-qt.exe");
    EXPECT_EQ(main.DAEMON_NAME_TEXTBOX.text(), "bitcoind.exe");
    EXPECT_EQ(main.CLI_NAME_TEXTBOX.text(), "bitcoin-cli.exe");
    EXPECT_TRUE(main.SYNC_CHECK_TICKBOX.ticked());
    EXPECT_EQ(main.STALL_LIMIT_TEXTBOX.text(), "00:30:00");
    EXPECT_EQ(main.GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX.text(), btcCli + "getblockchaininfo");
    EXPECT_EQ(w.CANCEL_BUTTON.text(), "Close");
    EXPECT_TRUE(w.isOpen());
    EXPECT_TRUE(w.REGENERATE_COMMANDS_TIMER.enabled());
}

TEST(CryptoSettingsWindow, SavingTwiceRewritesIdenticalFiles) {
    Crypto c("LTC", posixProfile("/home/tester"));
    c.h.put("PACEDECK_HOME_TEXTBOX", "/pd");
    c.h.main().PACEDECK_HOME_TEXTBOX.setText("/pd");
    auto& w = c.open();
    c.useEverything(w);
    ASSERT_TRUE(w.DAEMON_WALLET_TICKBOX.click());
    c.h.advance(1000);
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    auto first = c.h.platform.files;
    c.h.platform.files.clear();
    c.h.advance(3000);
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    EXPECT_EQ(c.h.platform.files, first);
    ASSERT_EQ(first.size(), 6u);
    EXPECT_EQ(first["/pd/BATS/LTC-RUN-DAEMON.sh"],
              "exec \"/usr/local/bin/bitcoind\" -conf=/pd/CONFIGS/LTC-CRYPTO-CONFIG.conf -datadir= "
              "-disablewallet=0\n");
    EXPECT_EQ(first["/pd/BATS/LTC-RUN-BLOCKCOUNTER-GBC.sh"],
              "exec \"/usr/local/bin/bitcoin-cli\" -conf=/pd/CONFIGS/LTC-CRYPTO-CONFIG.conf getblockcount > "
              "/pd/BLOCKCOUNTS/LTC-LATEST-BLOCKCOUNT.LOG\n");
}

TEST(CryptoSettingsWindow, ScriptsThatCannotBeWrittenAreReportedAndChangeNothingElse) {
    Crypto c("BTC");
    c.confirmDefaultHome();
    c.h.platform.folders = {"C:\\SYNCWARD-ROOT\\PACEDECK"};  // no BATS yet
    auto& w = c.open();
    c.useEverything(w);
    c.h.advance(1000);
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    ASSERT_EQ(c.dialogs.messages.size(), 1u);
    EXPECT_NE(c.dialogs.messages[0].find("NODE SCRIPTS NOT WRITTEN"), std::string::npos);
    EXPECT_NE(c.dialogs.messages[0].find("BATS"), std::string::npos);
    EXPECT_TRUE(c.h.platform.files.empty());
    EXPECT_EQ(c.h.stored("SW_QT_COMMAND_TEXTBOX"), "<unset>");
    EXPECT_EQ(c.h.main().SW_QT_COMMAND_TEXTBOX.text(), MainWindow::placeholderQt);
    EXPECT_EQ(w.CANCEL_BUTTON.text(), "Cancel");
    EXPECT_EQ(w.QT_NAME_TEXTBOX.text(), "bitcoin-qt.exe");
    EXPECT_EQ(c.h.stored("QT_NAME_TEXTBOX"), "bitcoin-qt.exe");  // the fields themselves are kept
    EXPECT_TRUE(w.REGENERATE_COMMANDS_TIMER.enabled());
}

TEST(CryptoSettingsWindow, CancelStoresOnlyThePosition) {
    Crypto c;
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = c.open();
    ASSERT_TRUE(w.CRYPTO_NAME_TEXTBOX.type("Litecoin"));
    ASSERT_TRUE(w.QT_WALLET_TICKBOX.click());
    w.moveTo(700, 800);
    c.h.store.clearLog();
    ASSERT_TRUE(w.CANCEL_BUTTON.click());
    EXPECT_EQ(c.h.store.writtenKeys("BTC"),
              (std::vector<std::string>{"CRYPTO_SETTINGS-Left", "CRYPTO_SETTINGS-Top"}));
    EXPECT_EQ(c.h.main().CRYPTO_NAME_TEXTBOX.text(), "");
    c.h.advance(0);
    auto& again = c.open();
    EXPECT_EQ(again.CRYPTO_NAME_TEXTBOX.text(), "");
    EXPECT_EQ(again.geometry().left, 700);
}

TEST(CryptoSettingsWindow, FileDialogGivesOnlyTheNameAndCancellingKeepsIt) {
    Crypto c("BTC", posixProfile("/home/tester"));
    c.h.put("PACEDECK_HOME_TEXTBOX", "/pd");
    auto& w = c.open();
    ASSERT_TRUE(w.USE_QT_FOLDER_BUTTON.click());
    ASSERT_TRUE(w.USE_QT_FILE_BUTTON.click());
    EXPECT_EQ(w.QT_LOCATION_TEXTBOX.text(), "/usr/local/bin");
    c.dialogs.fileAnswers = {std::nullopt, "/opt/elsewhere/litecoin-qt"};
    ASSERT_TRUE(w.BROWSE_QT_FILE_BUTTON.click());
    EXPECT_EQ(w.QT_NAME_TEXTBOX.text(), "bitcoin-qt");
    ASSERT_TRUE(w.BROWSE_QT_FILE_BUTTON.click());
    EXPECT_EQ(w.QT_NAME_TEXTBOX.text(), "litecoin-qt");
    EXPECT_EQ(w.QT_LOCATION_TEXTBOX.text(), "/usr/local/bin");
    EXPECT_EQ(c.dialogs.asked.at(0).start, "/usr/local/bin");
    EXPECT_EQ(c.dialogs.asked.at(0).title, "Select QT File");

    c.dialogs.folderAnswers = {"/chains/ltc"};
    ASSERT_TRUE(w.BROWSE_BLOCKCHAIN_FOLDER_BUTTON.click());
    EXPECT_EQ(w.BLOCKCHAIN_HOME_TEXTBOX.text(), "/chains/ltc");
    EXPECT_EQ(c.dialogs.asked.back().title, "BLOCKCHAIN HOME FOLDER");

    Crypto win("BTC");
    win.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& ww = win.open();
    win.dialogs.fileAnswers = {"E:\\Coins\\litecoind.exe"};
    ASSERT_TRUE(ww.BROWSE_DAEMOND_FILE_BUTTON.click());
    EXPECT_EQ(ww.DAEMOND_NAME_TEXTBOX.text(), "litecoind.exe");
    EXPECT_EQ(win.dialogs.asked.back().title, "Select DAEMOND.exe File");
    EXPECT_EQ(win.dialogs.asked.back().filter, "Applications (*.exe)|*.exe|All files (*.*)|*.*");
    EXPECT_EQ(win.dialogs.asked.back().extension, "exe");
}

TEST(CryptoSettingsWindow, UnconfirmedHomeWritesScriptsThereAndTheirCommandsNameFilesThere) {
    Crypto c("BTC", posixProfile("/home/tester"));
    c.h.put("PACEDECK_HOME_TEXTBOX", "/old");
    c.h.main().PACEDECK_HOME_TEXTBOX.setText("/old");
    auto& settings = c.settings();
    ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type("/new"));
    auto& w = c.open();
    c.h.advance(1000);
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    const auto& script = c.h.platform.files["/new/BATS/BTC-RUN-BLOCKCOUNTER-GBC.sh"];
    EXPECT_NE(script.find("> /new/BLOCKCOUNTS/BTC-LATEST-BLOCKCOUNT.LOG\n"), std::string::npos) << script;
    EXPECT_NE(script.find("-conf=/new/CONFIGS/BTC-CRYPTO-CONFIG.conf"), std::string::npos) << script;
}

TEST(CryptoSettingsWindow, ScriptsUseTheAnsiCodePageUnderTheWindowsProfile) {
    Crypto c("BTC");
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = c.open();
    ASSERT_TRUE(w.BLOCKCHAIN_HOME_TEXTBOX.type("D:\\Chaîne-€"));
    c.h.advance(1000);
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    const auto& qt = c.h.platform.files["C:\\PD\\BATS\\BTC-RUN-QT.bat"];
    EXPECT_NE(qt.find("-datadir=D:\\Cha\xEEne-\x80 \r\n"), std::string::npos) << qt;
    EXPECT_NE(c.h.stored("SW_QT_COMMAND_TEXTBOX").find("Chaîne-€"), std::string::npos);
}

// cmd would read a "?" in place of a character its code page lacks: another folder.
TEST(CryptoSettingsWindow, ACharacterTheCodePageLacksIsRefusedNotWrittenAsAQuestionMark) {
    Crypto c("BTC");
    c.h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
    auto& w = c.open();
    ASSERT_TRUE(w.BLOCKCHAIN_HOME_TEXTBOX.type("D:\\Chaîne-中"));
    c.h.advance(1000);
    w.SAVE_BUTTON.click();
    EXPECT_FALSE(c.h.platform.files.contains("C:\\PD\\BATS\\BTC-RUN-QT.bat"));
    ASSERT_EQ(c.dialogs.messages.size(), 1u);
    EXPECT_NE(c.dialogs.messages[0].find("the character \"中\" cannot be written in the code page 1252"),
              std::string::npos)
        << c.dialogs.messages[0];
}

TEST(CryptoSettingsWindow, StallLimitMustBeATimeAndAnUntickedSyncCheckIsKept) {
    Crypto c("BTC");
    c.confirmDefaultHome();
    c.h.platform.folders = {"C:\\SYNCWARD-ROOT\\PACEDECK\\BATS"};
    auto& w = c.open();
    c.useEverything(w);
    c.h.advance(1000);
    ASSERT_TRUE(w.STALL_LIMIT_TEXTBOX.type("half an hour"));
    c.h.store.clearLog();
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    EXPECT_TRUE(c.h.store.writtenKeys("BTC").empty());
    EXPECT_EQ(c.dialogs.messages.size(), 1u);

    ASSERT_TRUE(w.STALL_LIMIT_TEXTBOX.type("02:00:00"));
    ASSERT_TRUE(w.SYNC_CHECK_TICKBOX.click());
    ASSERT_TRUE(w.SAVE_BUTTON.click());
    EXPECT_EQ(c.h.stored("SYNC_CHECK_TICKBOX"), "0");
    EXPECT_EQ(c.h.stored("STALL_LIMIT_TEXTBOX"), "02:00:00");
    EXPECT_FALSE(c.h.main().SYNC_CHECK_TICKBOX.ticked());
    EXPECT_EQ(c.h.main().STALL_LIMIT_TEXTBOX.text(), "02:00:00");
}

}  // namespace pd::test
