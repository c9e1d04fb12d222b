#include "confgen/CoinPresetsWindow.hpp"

#include "confgen/ConfGeneratorWindow.hpp"
#include "core/App.hpp"

namespace pd {

CoinPresetsWindow::CoinPresetsWindow(App& app, ConfGeneratorWindow& generator)
    : Window(app, "PACEDECK_CONF_GENERATOR_IDS", "PACEDECK - CONF-GENERATOR - IMPORT DEFAULT SETTINGS"),
      generator_(generator) {
    IMPORT_SETTINGS_TICKBOX.onChange = [this] { arm(IMPORT_SETTINGS_TICKBOX.ticked()); };
    BASIC_SETTINGS_BUTTON.onClick = [this] { basicSettings(); };
    BTC_IMPORT_BUTTON.onClick = [this] { importCoin({"BTC - Bitcoin", "8333", "8332", false, false}); };
    LTC_IMPORT_BUTTON.onClick = [this] { importCoin({"LTC - Litecoin", "9333", "9332", false, false}); };
    NMC_IMPORT_BUTTON.onClick = [this] { importCoin({"NMC - Namecoin", "8334", "8336", false, true}); };
    DASH_IMPORT_BUTTON.onClick = [this] { importCoin({"DASH - Dash", "9999", "9998", false, false}); };
    VTC_IMPORT_BUTTON.onClick = [this] { importCoin({"VTC - Vertcoin", "5889", "5888", true, false}); };
    BTG_IMPORT_BUTTON.onClick = [this] { importCoin({"BTG - BitcoinGold", "8338", "8332", false, false}); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

void CoinPresetsWindow::load() {
    restoreGeometry();
    BTC_BTG_RPC_NOTE_TEXTBOX.setText("!!! BTG USES THE SAME RPC PORT AS BTC !!!" + app().profile().lineEnd +
                                     "!!! CHANGE THE RPC PORT IF RUNNING AT THE SAME TIME !!!");
}

void CoinPresetsWindow::unload() {
    storePosition();
}

// The tick arms all seven preset buttons; a coin import disarms them again.
void CoinPresetsWindow::arm(bool on) {
    for (auto* b : {&BASIC_SETTINGS_BUTTON, &BTC_IMPORT_BUTTON, &LTC_IMPORT_BUTTON, &NMC_IMPORT_BUTTON,
                    &DASH_IMPORT_BUTTON, &VTC_IMPORT_BUTTON, &BTG_IMPORT_BUTTON})
        b->setEnabled(on);
}

// Leaves the crypto name, the ports, "Disabled", the RPC credentials, the user settings
// and the node list as they are; the tick stays armed for further presses.
void CoinPresetsWindow::basicSettings() {
    auto& g = generator_;
    g.WALLET_FILE_TEXTBOX.setText("wallet.dat");
    g.WALLET_TICKBOX.setValue(1);
    g.SERVER_TICKBOX.setValue(1);
    g.ALERTS_TICKBOX.setValue(1);
    g.LISTEN_TICKBOX.setValue(1);
    g.UPNP_TICKBOX.setValue(0);
    g.DNS_TICKBOX.setValue(1);
    g.OLD_WALLET_SUPPORT_TICKBOX.setValue(0);
    g.DAEMON_TICKBOX.setValue(0);
    g.DAEMON_TICKBOX.setEnabled(false);
    g.PEER_LOCALHOST_TICKBOX.setValue(1);
    g.RPC_LOCALHOST_TICKBOX.setValue(1);
    g.TIMEOUT_TEXTBOX.setText("3000");
    g.RPC_TIMEOUT_TEXTBOX.setText("3000");
    g.MAX_CONNECTIONS_TEXTBOX.setText("20");
    g.UACOMMENT_TEXTBOX.setText("");
    CANCEL_BUTTON.setText("Close");
}

void CoinPresetsWindow::importCoin(const Coin& coin) {
    IMPORT_SETTINGS_TICKBOX.setValue(0);
    auto& g = generator_;
    g.CRYPTO_NAME_TEXTBOX.setText(coin.name);
    if (coin.oldWallet) {
        g.OLD_WALLET_SUPPORT_TICKBOX.setValue(1);
        g.DAEMON_TICKBOX.setValue(1);
        g.DAEMON_TICKBOX.setEnabled(true);
    }
    g.PEER_PORT_TEXTBOX.setText(coin.peerPort);
    g.RPC_PORT_TEXTBOX.setText(coin.rpcPort);
    g.FULL_NODE_LIST_TEXTBOX.setText(coin.nodeList ? g.VTC_NODE_LIST_TEXTBOX.text() : std::string());
    CANCEL_BUTTON.setText("Close");
}

LayoutNode CoinPresetsWindow::layout() {
    return column({
        row({IMPORT_SETTINGS_TICKBOX, label("DO THIS FIRST"), stretch()}),
        row({BASIC_SETTINGS_BUTTON, stretch()}),
        row({BTC_IMPORT_BUTTON, LTC_IMPORT_BUTTON, NMC_IMPORT_BUTTON, DASH_IMPORT_BUTTON, VTC_IMPORT_BUTTON,
             BTG_IMPORT_BUTTON}),
        sized(BTC_BTG_RPC_NOTE_TEXTBOX, 48, 2),
        VTC_NODE_LIST_NOTE_LABEL,
        row({stretch(), CANCEL_BUTTON}),
    });
}

}  // namespace pd
