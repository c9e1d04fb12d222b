#include <gtest/gtest.h>

#include <algorithm>

#include "ConfGeneratorFixture.hpp"

namespace pd::test {

namespace {

const std::string confPath = "C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS\\BTC-CRYPTO-CONFIG.conf";

const std::string workedExample =
    "# - BTC - Bitcoin - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -\r\n"
    "wallet=wallet.dat\r\n"
    "disablewallet=0\r\n"
    "server=1\r\n"
    "alerts=1\r\n"
    "listen=1\r\n"
    "#upnp=0\r\n"
    "dns=1\r\n"
    "#daemon=0\r\n"
    "allowip=127.0.0.1\r\n"
    "rpcallowip=127.0.0.1\r\n"
    "timeout=3000\r\n"
    "rpctimeout=3000\r\n"
    "maxconnections=20\r\n"
    "port=8333\r\n"
    "rpcport=8332\r\n"
    "#uacomment=\r\n"
    "\r\n"
    "#rpcuser=\r\n"
    "#rpcpassword=\r\n"
    "#rpcauth=\r\n"
    "\r\n"
    "\r\n"
    "\r\n";

}  // namespace

TEST(ConfGenerator, BasicSettingsThenBitcoinGiveTheWorkedExampleByteForByte) {
    ConfGen c;
    auto& g = c.open();
    EXPECT_EQ(g.CONF_FILE_LOCATION_TEXTBOX.text(), confPath);
    auto& p = c.presets(g);
    ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
    ConfGen::press(p, p.BTC_IMPORT_BUTTON);
    c.h.advance(1000);
    EXPECT_EQ(g.CONF_OUTPUT_TEXTBOX.text(), workedExample);
    EXPECT_EQ(c.lines(g).size(), 25u);

    g.SAVE_BUTTON.click();
    EXPECT_EQ(c.h.platform.files.at(confPath), workedExample + "\r\n");
    EXPECT_EQ(g.CANCEL_BUTTON.text(), "Close");
    EXPECT_EQ(c.h.main().CRYPTO_NAME_TEXTBOX.text(), "BTC - Bitcoin");
    EXPECT_TRUE(c.dialogs.messages.empty());
}

TEST(ConfGenerator, SaveWritesWhatTheWindowLastShowedAndAlwaysExactlyOneCopy) {
    ConfGen c;
    auto& g = c.open();
    // Shown at opening already: a SAVE at once writes the full text, not an empty file.
    ASSERT_EQ(c.lines(g).size(), 25u);
    g.SAVE_BUTTON.click();
    const std::string first = c.h.platform.files.at(confPath);
    EXPECT_EQ(first, g.CONF_OUTPUT_TEXTBOX.text() + "\r\n");

    // A change not yet refreshed is not in the file; the stored value has it.
    g.PEER_PORT_TEXTBOX.type("18444");
    g.SAVE_BUTTON.click();
    EXPECT_EQ(c.h.platform.files.at(confPath), first);
    EXPECT_EQ(c.h.stored("PEER_PORT_TEXTBOX"), "18444");

    c.h.advance(1000);
    g.SAVE_BUTTON.click();
    g.SAVE_BUTTON.click();
    const std::string& now = c.h.platform.files.at(confPath);
    EXPECT_EQ(now, g.CONF_OUTPUT_TEXTBOX.text() + "\r\n");
    EXPECT_NE(now.find("\r\nport=18444\r\n"), std::string::npos);
    EXPECT_EQ(now.find("# - "), now.rfind("# - "));
}

TEST(ConfGenerator, SaveStoresEveryInputInOrderAndAReopenedWindowShowsTheSameFile) {
    ConfGen c;
    std::string saved;
    {
        auto& g = c.open();
        auto& p = c.presets(g);
        ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
        ConfGen::press(p, p.NMC_IMPORT_BUTTON);
        p.CANCEL_BUTTON.click();
        g.WALLET_TICKBOX.setValue(1);
        g.DISABLE_WALLET_TICKBOX.click();
        g.UPNP_TICKBOX.click();
        g.RPC_USER_TEXTBOX.type("SOMEONE");
        g.USER_DEFINED_SETTINGS_TEXTBOX.type("txindex=1\r\nprune=0");
        g.moveTo(2200, 3300);
        c.h.advance(1000);
        c.h.store.clearLog();
        g.SAVE_BUTTON.click();
        saved = g.CONF_OUTPUT_TEXTBOX.text();
        g.close();
    }
    const std::vector<std::string> expectedOrder = {
        "CONF_GENERATOR-Left", "CONF_GENERATOR-Top", "CRYPTO_NAME_TEXTBOX", "WALLET_FILE_TEXTBOX",
        "WALLET_TICKBOX", "DISABLE_WALLET_TICKBOX", "SERVER_TICKBOX", "ALERTS_TICKBOX", "LISTEN_TICKBOX",
        "UPNP_TICKBOX", "DNS_TICKBOX", "OLD_WALLET_SUPPORT_TICKBOX", "DAEMON_TICKBOX",
        "PEER_LOCALHOST_TICKBOX", "RPC_LOCALHOST_TICKBOX", "TIMEOUT_TEXTBOX", "RPC_TIMEOUT_TEXTBOX",
        "MAX_CONNECTIONS_TEXTBOX", "PEER_PORT_TEXTBOX", "RPC_PORT_TEXTBOX", "UACOMMENT_TEXTBOX",
        "RPC_USER_TEXTBOX", "RPC_PASSWORD_TEXTBOX", "RPC_AUTH_TEXTBOX", "FULL_NODE_LIST_TEXTBOX",
        "USER_DEFINED_SETTINGS_TEXTBOX",
        // the text of the file, as the record of what this Save wrote
        "CONF_OUTPUT_TEXTBOX",
        // closing stores the position again
        "CONF_GENERATOR-Left", "CONF_GENERATOR-Top"};
    EXPECT_EQ(c.h.store.writtenKeys("BTC"), expectedOrder);
    EXPECT_EQ(c.h.stored("DAEMON_TICKBOX"), "1");
    EXPECT_EQ(c.h.stored("UPNP_TICKBOX"), "1");
    EXPECT_EQ(c.h.stored("CONF_GENERATOR-Left"), "2200");
    // The main window's own place is left alone.
    EXPECT_EQ(c.h.stored("MAIN-Left"), "<unset>");

    c.h.advance(1000);
    auto& again = c.open();
    EXPECT_EQ(again.geometry().left, 2200);
    EXPECT_EQ(again.geometry().top, 3300);
    EXPECT_EQ(again.geometry().width, 13785);
    EXPECT_EQ(again.CONF_OUTPUT_TEXTBOX.text(), saved);
    EXPECT_NE(saved.find("\r\ndisablewallet=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\ndaemon=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nupnp=1\r\n"), std::string::npos);
    EXPECT_TRUE(again.DISABLE_WALLET_TICKBOX.enabled());
    EXPECT_TRUE(again.DAEMON_TICKBOX.enabled());
}

TEST(ConfGenerator, EmptyValuesCommentTheirLineOutButASingleSpaceIsAValue) {
    ConfGen c;
    auto& g = c.open();
    auto lines = c.lines(g);
    EXPECT_EQ(lines[1], "#wallet=");
    EXPECT_EQ(lines[14], "#port=");
    EXPECT_EQ(lines[18], "#rpcuser=");

    g.PEER_PORT_TEXTBOX.type(" ");
    g.WALLET_FILE_TEXTBOX.type("mine.dat");
    g.RPC_AUTH_TEXTBOX.type("U:S$H");
    c.h.advance(1000);
    lines = c.lines(g);
    EXPECT_EQ(lines[1], "wallet=mine.dat");
    EXPECT_EQ(lines[14], "port= ");
    EXPECT_EQ(lines[20], "rpcauth=U:S$H");

    g.WALLET_FILE_TEXTBOX.setText("");
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[1], "#wallet=");
}

TEST(ConfGenerator, DisabledCountsOnlyWhileWalletIsTicked) {
    ConfGen c;
    auto& g = c.open();
    EXPECT_EQ(c.lines(g)[2], "#disablewallet=0");
    EXPECT_FALSE(g.DISABLE_WALLET_TICKBOX.click());

    g.WALLET_TICKBOX.click();
    EXPECT_TRUE(g.DISABLE_WALLET_TICKBOX.click());
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[2], "disablewallet=1");

    g.WALLET_TICKBOX.click();
    EXPECT_EQ(g.DISABLE_WALLET_TICKBOX.value(), 0);
    EXPECT_FALSE(g.DISABLE_WALLET_TICKBOX.enabled());
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[2], "#disablewallet=0");
}

TEST(ConfGenerator, DaemonLineFollowsOldWalletSupportAndItsOwnTick) {
    ConfGen c;
    auto& g = c.open();
    EXPECT_EQ(c.lines(g)[8], "#daemon=0");
    EXPECT_FALSE(g.DAEMON_TICKBOX.click());

    g.OLD_WALLET_SUPPORT_TICKBOX.click();
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "daemon=0");
    g.DAEMON_TICKBOX.click();
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "daemon=1");
    // A click on "Daemon" switches its line like every other tick does.
    g.DAEMON_TICKBOX.click();
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "#daemon=0");
    g.DAEMON_TICKBOX.click();

    g.OLD_WALLET_SUPPORT_TICKBOX.click();
    EXPECT_EQ(g.DAEMON_TICKBOX.value(), 0);
    EXPECT_FALSE(g.DAEMON_TICKBOX.enabled());
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "#daemon=0");
}

TEST(ConfGenerator, TicksSwitchOnlyTheHashOfTheirLines) {
    ConfGen c;
    auto& g = c.open();
    auto lines = c.lines(g);
    EXPECT_EQ(lines[3], "#server=0");
    EXPECT_EQ(lines[9], "#allowip=127.0.0.1");
    EXPECT_EQ(lines[10], "#rpcallowip=127.0.0.1");

    for (auto* t : {&g.SERVER_TICKBOX, &g.ALERTS_TICKBOX, &g.LISTEN_TICKBOX, &g.UPNP_TICKBOX, &g.DNS_TICKBOX,
                    &g.PEER_LOCALHOST_TICKBOX, &g.RPC_LOCALHOST_TICKBOX})
        t->click();
    c.h.advance(1000);
    lines = c.lines(g);
    EXPECT_EQ(lines[3], "server=1");
    EXPECT_EQ(lines[4], "alerts=1");
    EXPECT_EQ(lines[5], "listen=1");
    EXPECT_EQ(lines[6], "upnp=1");
    EXPECT_EQ(lines[7], "dns=1");
    EXPECT_EQ(lines[9], "allowip=127.0.0.1");
    EXPECT_EQ(lines[10], "rpcallowip=127.0.0.1");

    g.PEER_LOCALHOST_TICKBOX.click();
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[9], "#allowip=127.0.0.1");
}

TEST(ConfGenerator, HeaderNamesTheCryptoOrShowsTwoDashesWhenThereIsNone) {
    ConfGen c;
    auto& g = c.open();
    EXPECT_EQ(c.lines(g)[0], "# -  - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -");
    g.CRYPTO_NAME_TEXTBOX.type("XYZ");
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[0], "# - XYZ - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -");
}

TEST(ConfGenerator, UserSettingsAndNodeListAreCopiedAsTheyStand) {
    ConfGen c;
    auto& g = c.open();
    g.USER_DEFINED_SETTINGS_TEXTBOX.type("txindex=1\r\ndbcache=300");
    g.NO_2X_BUTTON.click();
    c.h.advance(1000);
    auto lines = c.lines(g);
    EXPECT_EQ(lines[16], "uacomment=NO2X");
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[21], "");
    EXPECT_EQ(lines[22], "txindex=1");
    EXPECT_EQ(lines[23], "dbcache=300");
    EXPECT_EQ(lines[24], "");
    EXPECT_EQ(lines[25], "");
}

TEST(ConfGenerator, ClearAllEmptiesEverythingRunsTheRulesAndStoresNothing) {
    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
    ConfGen::press(p, p.VTC_IMPORT_BUTTON);
    p.CANCEL_BUTTON.click();
    g.OLD_WALLET_SUPPORT_TICKBOX.click();
    g.DAEMON_TICKBOX.click();
    g.DISABLE_WALLET_TICKBOX.click();
    g.RPC_USER_TEXTBOX.type("U");
    g.RPC_PASSWORD_TEXTBOX.type("P");
    g.RPC_AUTH_TEXTBOX.type("A");
    g.USER_DEFINED_SETTINGS_TEXTBOX.type("x=1");
    g.NO_2X_BUTTON.click();
    c.h.store.clearLog();

    g.CLEAR_ALL_BUTTON.click();
    for (auto* e : g.elements()) {
        if (e->kind() == ElementKind::TickBox) {
            EXPECT_EQ(static_cast<TickBox*>(e)->value(), 0) << e->name();
        }
    }
    EXPECT_FALSE(g.DAEMON_TICKBOX.enabled());
    EXPECT_FALSE(g.DISABLE_WALLET_TICKBOX.enabled());
    for (auto* t : {&g.CRYPTO_NAME_TEXTBOX, &g.WALLET_FILE_TEXTBOX, &g.TIMEOUT_TEXTBOX,
                    &g.RPC_TIMEOUT_TEXTBOX, &g.MAX_CONNECTIONS_TEXTBOX, &g.PEER_PORT_TEXTBOX,
                    &g.RPC_PORT_TEXTBOX, &g.UACOMMENT_TEXTBOX, &g.RPC_USER_TEXTBOX, &g.RPC_PASSWORD_TEXTBOX,
                    &g.RPC_AUTH_TEXTBOX, &g.USER_DEFINED_SETTINGS_TEXTBOX, &g.FULL_NODE_LIST_TEXTBOX})
        EXPECT_EQ(t->text(), "") << t->name();
    EXPECT_TRUE(c.h.store.writtenKeys("BTC").empty());

    c.h.advance(1000);
    auto lines = c.lines(g);
    ASSERT_EQ(lines.size(), 25u);
    const std::vector<std::string> cleared = {
        "# -  - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -",
        "#wallet=",
        "#disablewallet=0",
        "#server=0",
        "#alerts=0",
        "#listen=0",
        "#upnp=0",
        "#dns=0",
        "#daemon=0",
        "#allowip=127.0.0.1",
        "#rpcallowip=127.0.0.1",
        "#timeout=",
        "#rpctimeout=",
        "#maxconnections=",
        "#port=",
        "#rpcport=",
        "#uacomment=",
        "",
        "#rpcuser=",
        "#rpcpassword=",
        "#rpcauth=",
        "",
        "",
        "",
        ""};
    EXPECT_EQ(lines, cleared);
}

TEST(ConfGenerator, AMissingConfigsFolderIsCreatedAndAFailedWriteKeepsTheWindowAsItWas) {
    ConfGen c;
    c.h.platform.folders = {ConfGen::windowsHome};
    auto& g = c.open();
    g.SAVE_BUTTON.click();
    EXPECT_TRUE(c.h.platform.folders.contains("C:\\SYNCWARD-ROOT\\PACEDECK\\CONFIGS"));
    EXPECT_TRUE(c.h.platform.files.contains(confPath));

    ConfGen failing;
    failing.h.platform.unwritable = {confPath};
    auto& f = failing.open();
    f.CRYPTO_NAME_TEXTBOX.type("KEEP ME");
    f.SAVE_BUTTON.click();
    EXPECT_FALSE(failing.h.platform.files.contains(confPath));
    ASSERT_EQ(failing.dialogs.messages.size(), 1u);
    EXPECT_NE(failing.dialogs.messages[0].find("!!! CONF FILE NOT SAVED !!!"), std::string::npos);
    EXPECT_NE(failing.dialogs.messages[0].find(confPath), std::string::npos);
    EXPECT_EQ(f.SAVE_STATUS_LABEL.back(), colour::red);
    EXPECT_TRUE(f.isOpen());
    EXPECT_EQ(f.CANCEL_BUTTON.text(), "Cancel");
    EXPECT_EQ(f.CRYPTO_NAME_TEXTBOX.text(), "KEEP ME");
    // The fields were stored: the next opening shows them again.
    EXPECT_EQ(failing.h.stored("CRYPTO_NAME_TEXTBOX"), "KEEP ME");
}

TEST(ConfGenerator, WithoutAHomeFolderNothingIsWrittenAnywhere) {
    ConfGen c(windowsProfile(), "");
    auto& g = c.open();
    g.SAVE_BUTTON.click();
    EXPECT_TRUE(c.h.platform.files.empty());
    EXPECT_TRUE(c.h.platform.folders.empty());
    ASSERT_EQ(c.dialogs.messages.size(), 1u);
    EXPECT_NE(c.dialogs.messages[0].find("home folder"), std::string::npos);
    EXPECT_TRUE(g.isOpen());
}

TEST(ConfGenerator, PosixCopiesWriteTheFileWithTheirOwnLineEnds) {
    ConfGen c(posixProfile("/home/tester"), "/home/tester/SYNCWARD-ROOT/PACEDECK");
    auto& g = c.open();
    const std::string path = "/home/tester/SYNCWARD-ROOT/PACEDECK/CONFIGS/BTC-CRYPTO-CONFIG.conf";
    EXPECT_EQ(g.CONF_FILE_LOCATION_TEXTBOX.text(), path);
    auto& p = c.presets(g);
    ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
    ConfGen::press(p, p.VTC_IMPORT_BUTTON);
    c.h.advance(1000);
    g.SAVE_BUTTON.click();
    const std::string& file = c.h.platform.files.at(path);
    EXPECT_EQ(file.find('\r'), std::string::npos);
    EXPECT_EQ(file.rfind("# - VTC - Vertcoin - CONF FILE", 0), 0u);
    EXPECT_NE(file.find("\nrpcport=5888\n"), std::string::npos);
    // 25 lines, the node list's own 66 line ends and the one SAVE adds.
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 24 + 66 + 1);
}

TEST(ConfGenerator, ClosingStoresOnlyThePositionAndClosesTheWindowsOverIt) {
    ConfGen c;
    auto& g = c.open();
    g.PEER_PORT_TEXTBOX.type("1234");
    c.presets(g);
    c.h.store.clearLog();
    g.CANCEL_BUTTON.click();
    c.h.advance(0);
    EXPECT_EQ(c.h.app.find<CoinPresetsWindow>(), nullptr);
    EXPECT_EQ(c.h.app.find<ConfGeneratorWindow>(), nullptr);
    EXPECT_EQ(c.h.store.writtenKeys("BTC"),
              (std::vector<std::string>{"IDS-Left", "IDS-Top", "CONF_GENERATOR-Left", "CONF_GENERATOR-Top"}));
    EXPECT_EQ(c.h.stored("PEER_PORT_TEXTBOX"), "<unset>");
    EXPECT_TRUE(c.h.platform.files.empty());
}

}  // namespace pd::test
