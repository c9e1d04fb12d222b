#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

#include "ConfGeneratorFixture.hpp"
#include "confgen/VertcoinNodeList.hpp"

namespace pd::test {

namespace {

std::vector<Button*> presetButtons(CoinPresetsWindow& p) {
    return {&p.BASIC_SETTINGS_BUTTON, &p.BTC_IMPORT_BUTTON, &p.LTC_IMPORT_BUTTON, &p.NMC_IMPORT_BUTTON,
            &p.DASH_IMPORT_BUTTON,    &p.VTC_IMPORT_BUTTON, &p.BTG_IMPORT_BUTTON};
}

bool inDocumentationRange(const std::string& address) {
    for (std::string range : {"192.0.2.", "198.51.100.", "203.0.113."}) {
        if (address.rfind(range, 0) != 0) continue;
        auto last = address.substr(range.size());
        if (last.empty() || last.size() > 3 || !std::all_of(last.begin(), last.end(), ::isdigit))
            return false;
        return std::stoi(last) <= 255;
    }
    return false;
}

}  // namespace

TEST(CoinPresets, ButtonsWorkOnlyWhileArmedAndACoinDisarmsThem) {
    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    EXPECT_EQ(p.caption(), "PACEDECK - CONF-GENERATOR - IMPORT DEFAULT SETTINGS");
    for (auto* b : presetButtons(p)) EXPECT_FALSE(b->click()) << b->name();
    EXPECT_EQ(g.CRYPTO_NAME_TEXTBOX.text(), "");
    EXPECT_EQ(g.WALLET_FILE_TEXTBOX.text(), "");
    EXPECT_EQ(p.CANCEL_BUTTON.text(), "Cancel");

    p.IMPORT_SETTINGS_TICKBOX.click();
    for (auto* b : presetButtons(p)) EXPECT_TRUE(b->enabled()) << b->name();
    // Basic settings leave the window armed, so they can be pressed again.
    EXPECT_TRUE(p.BASIC_SETTINGS_BUTTON.click());
    EXPECT_TRUE(p.BASIC_SETTINGS_BUTTON.click());
    EXPECT_EQ(p.CANCEL_BUTTON.text(), "Close");
    EXPECT_TRUE(p.LTC_IMPORT_BUTTON.click());
    EXPECT_EQ(p.IMPORT_SETTINGS_TICKBOX.value(), 0);
    for (auto* b : presetButtons(p)) EXPECT_FALSE(b->enabled()) << b->name();
    EXPECT_FALSE(p.BTC_IMPORT_BUTTON.click());
    EXPECT_EQ(g.CRYPTO_NAME_TEXTBOX.text(), "LTC - Litecoin");

    p.IMPORT_SETTINGS_TICKBOX.click();
    p.IMPORT_SETTINGS_TICKBOX.click();
    for (auto* b : presetButtons(p)) EXPECT_FALSE(b->enabled()) << b->name();
}

TEST(CoinPresets, EachCoinWritesItsNamePortsAndNodeList) {
    struct Row {
        const char* button;
        const char* name;
        const char* peer;
        const char* rpc;
    };
    for (auto row : {Row{"BTC_IMPORT_BUTTON", "BTC - Bitcoin", "8333", "8332"},
                     Row{"LTC_IMPORT_BUTTON", "LTC - Litecoin", "9333", "9332"},
                     Row{"NMC_IMPORT_BUTTON", "NMC - Namecoin", "8334", "8336"},
                     Row{"DASH_IMPORT_BUTTON", "DASH - Dash", "9999", "9998"},
                     Row{"VTC_IMPORT_BUTTON", "VTC - Vertcoin", "5889", "5888"},
                     Row{"BTG_IMPORT_BUTTON", "BTG - BitcoinGold", "8338", "8332"}}) {
        ConfGen c;
        auto& g = c.open();
        g.FULL_NODE_LIST_TEXTBOX.setText("addnode=198.51.100.9\r\n");
        auto& p = c.presets(g);
        c.h.store.clearLog();
        ConfGen::press(p, *static_cast<Button*>(p.find(row.button)));
        EXPECT_EQ(g.CRYPTO_NAME_TEXTBOX.text(), row.name);
        EXPECT_EQ(g.PEER_PORT_TEXTBOX.text(), row.peer);
        EXPECT_EQ(g.RPC_PORT_TEXTBOX.text(), row.rpc);
        bool vtc = std::string(row.button) == "VTC_IMPORT_BUTTON";
        EXPECT_EQ(g.FULL_NODE_LIST_TEXTBOX.text(), vtc ? vertcoinNodeList("\r\n") : "") << row.button;
        EXPECT_EQ(g.OLD_WALLET_SUPPORT_TICKBOX.value(), std::string(row.button) == "NMC_IMPORT_BUTTON");
        EXPECT_TRUE(c.h.store.writtenKeys("BTC").empty());
    }
}

TEST(CoinPresets, NamecoinTurnsTheDaemonLineOnAndBasicSettingsTurnItOffAgain) {
    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    ConfGen::press(p, p.NMC_IMPORT_BUTTON);
    EXPECT_TRUE(g.DAEMON_TICKBOX.enabled());
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "daemon=1");

    ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
    EXPECT_FALSE(g.DAEMON_TICKBOX.enabled());
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[8], "#daemon=0");
    // The coin's own fields stay.
    EXPECT_EQ(g.CRYPTO_NAME_TEXTBOX.text(), "NMC - Namecoin");
    EXPECT_EQ(g.PEER_PORT_TEXTBOX.text(), "8334");
}

TEST(CoinPresets, BasicSettingsLeaveNameCredentialsUserSettingsAndNodeListAlone) {
    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    ConfGen::press(p, p.VTC_IMPORT_BUTTON);
    g.WALLET_TICKBOX.click();
    g.DISABLE_WALLET_TICKBOX.click();
    g.UPNP_TICKBOX.click();
    g.RPC_USER_TEXTBOX.type("U");
    g.USER_DEFINED_SETTINGS_TEXTBOX.type("x=1");
    g.NO_2X_BUTTON.click();
    const std::string list = g.FULL_NODE_LIST_TEXTBOX.text();

    ConfGen::press(p, p.BASIC_SETTINGS_BUTTON);
    EXPECT_EQ(g.CRYPTO_NAME_TEXTBOX.text(), "VTC - Vertcoin");
    EXPECT_EQ(g.PEER_PORT_TEXTBOX.text(), "5889");
    EXPECT_EQ(g.RPC_PORT_TEXTBOX.text(), "5888");
    EXPECT_EQ(g.DISABLE_WALLET_TICKBOX.value(), 1);
    EXPECT_EQ(g.RPC_USER_TEXTBOX.text(), "U");
    EXPECT_EQ(g.USER_DEFINED_SETTINGS_TEXTBOX.text(), "x=1");
    EXPECT_EQ(g.FULL_NODE_LIST_TEXTBOX.text(), list);
    EXPECT_EQ(g.UPNP_TICKBOX.value(), 0);
    EXPECT_EQ(g.UACOMMENT_TEXTBOX.text(), "");
    EXPECT_EQ(g.WALLET_FILE_TEXTBOX.text(), "wallet.dat");
    c.h.advance(1000);
    EXPECT_EQ(c.lines(g)[6], "#upnp=0");
}

TEST(CoinPresets, VertcoinAfterBitcoinFillsTheNodeListAndBitcoinEmptiesItAgain) {
    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    ConfGen::press(p, p.BTC_IMPORT_BUTTON);
    ConfGen::press(p, p.VTC_IMPORT_BUTTON);
    c.h.advance(1000);
    auto lines = c.lines(g);
    EXPECT_EQ(lines[0],
              "# - VTC - Vertcoin - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -");
    EXPECT_EQ(lines[14], "port=5889");
    EXPECT_EQ(lines[15], "rpcport=5888");
    ASSERT_EQ(lines.size(), 24u + 66u + 1u);
    EXPECT_EQ(lines[24].rfind("addnode=", 0), 0u);
    EXPECT_EQ(lines[24], lines[89]);
    EXPECT_EQ(lines[90], "");

    ConfGen::press(p, p.BTC_IMPORT_BUTTON);
    c.h.advance(1000);
    lines = c.lines(g);
    EXPECT_EQ(lines.size(), 25u);
    EXPECT_EQ(lines[24], "");
    EXPECT_EQ(lines[14], "port=8333");
}

TEST(CoinPresets, VertcoinListIsATemplateOfDocumentationAddressesInTheUsualShape) {
    const std::string text = vertcoinNodeList("\r\n");
    std::vector<std::string> lines;
    for (std::size_t from = 0; from < text.size();) {
        auto end = text.find("\r\n", from);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    ASSERT_EQ(lines.size(), 66u);
    int vertcoinPort = 0, otherPort = 0, noPort = 0;
    std::set<std::string> addresses;
    for (const auto& line : lines) {
        ASSERT_EQ(line.rfind("addnode=", 0), 0u) << line;
        auto target = line.substr(8);
        auto colon = target.find(':');
        auto address = target.substr(0, colon);
        EXPECT_TRUE(inDocumentationRange(address)) << line;
        addresses.insert(address);
        if (colon == std::string::npos) {
            ++noPort;
        } else {
            auto port = target.substr(colon + 1);
            ASSERT_FALSE(port.empty());
            ASSERT_TRUE(std::all_of(port.begin(), port.end(), ::isdigit)) << line;
            EXPECT_LE(std::stoi(port), 65535);
            (port == "5889" ? vertcoinPort : otherPort)++;
        }
    }
    EXPECT_EQ(vertcoinPort, 38);
    EXPECT_EQ(otherPort, 26);
    EXPECT_EQ(noPort, 2);
    EXPECT_EQ(addresses.size(), 65u);
    EXPECT_EQ(lines.front(), lines.back());
    EXPECT_EQ(lines.front().find(':'), std::string::npos);
    EXPECT_EQ(vertcoinNodeList("\n").size(), text.size() - 66);

    ConfGen c;
    auto& g = c.open();
    auto& p = c.presets(g);
    EXPECT_NE(p.VTC_NODE_LIST_NOTE_LABEL.text().find("REPLACE THEM WITH CURRENT PEERS"), std::string::npos);
}

TEST(CoinPresets, NoteAndPlaceOfThePresetWindow) {
    ConfGen c;
    c.h.put("IDS-Left", "4000");
    auto& g = c.open();
    auto& p = c.presets(g);
    EXPECT_EQ(p.BTC_BTG_RPC_NOTE_TEXTBOX.text(),
              "!!! BTG USES THE SAME RPC PORT AS BTC !!!\r\n!!! CHANGE THE RPC PORT IF RUNNING AT THE SAME "
              "TIME !!!");
    EXPECT_EQ(p.geometry().left, 4000);
    EXPECT_EQ(p.geometry().top, 1000);
    EXPECT_EQ(p.geometry().width, 6870);
    EXPECT_EQ(p.geometry().height, 3180);
    p.moveTo(4100, 1200);
    c.h.store.clearLog();
    p.close();
    EXPECT_EQ(c.h.store.writtenKeys("BTC"), (std::vector<std::string>{"IDS-Left", "IDS-Top"}));
    EXPECT_EQ(c.h.stored("IDS-Top"), "1200");
    EXPECT_TRUE(g.isOpen());
}

}  // namespace pd::test
