#include "confgen/ConfGeneratorWindow.hpp"

#include "confgen/CoinPresetsWindow.hpp"
#include "confgen/TestRpcCredentialsWindow.hpp"
#include "confgen/VertcoinNodeList.hpp"
#include "core/App.hpp"
#include "core/FileSave.hpp"
#include "core/OneLine.hpp"
#include "main/MainWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd {

namespace {

// An option line is live with "option=" and commented out with "#option=".
std::string prefixText(std::string_view option, bool live) {
    return live ? std::string(option) : "#" + std::string(option);
}

std::string tickText(const TickBox& t) {
    return std::to_string(t.value());
}

}  // namespace

ConfGeneratorWindow::ConfGeneratorWindow(App& app)
    : Window(app, "PACEDECK_CONF_GENERATOR_MAIN", "PACEDECK - CONF-GENERATOR") {
    WALLET_TICKBOX.onChange = [this] { walletRule(); };
    OLD_WALLET_SUPPORT_TICKBOX.onChange = [this] { oldWalletSupportRule(); };
    // The daemon prefix follows its own tick too, like every other tick's line.
    DAEMON_TICKBOX.onChange = [this] { daemonRule(); };
    for (auto line : tickLines())
        line.tick.onChange = [line] { line.prefix.setText(prefixText(line.option, line.tick.ticked())); };

    REFRESH_TIMER.onTick = [this] { refreshOutput(); };
    SAVE_BUTTON.onClick = [this] { save(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
    NO_2X_BUTTON.onClick = [this] { UACOMMENT_TEXTBOX.setText("NO2X"); };
    IDS_BUTTON.onClick = [this] { this->app().open<CoinPresetsWindow>(this, true, *this); };
    SW_RPC_TEST_CREDENTIALS_BUTTON.onClick = [this] {
        this->app().open<TestRpcCredentialsWindow>(this, true, *this);
    };
    CLEAR_ALL_BUTTON.onClick = [this] { clearAll(); };
}

// ---------------------------------------------------------------- opening

void ConfGeneratorWindow::load() {
    restoreGeometry();
    VTC_NODE_LIST_TEXTBOX.setText(vertcoinNodeList(app().profile().lineEnd));
    for (auto* input : storedInputs()) {
        if (input->kind() == ElementKind::TickBox)
            loadTick(static_cast<TickBox&>(*input));
        else
            loadText(*input);
    }
    CONF_FILE_LOCATION_TEXTBOX.setText(confFilePath());
    REFRESH_TIMER.setInterval(1000);
    REFRESH_TIMER.start();
    applyTickPrefixes();
    // Shown at once, so a SAVE right after opening never writes an empty file.
    refreshOutput();
}

// Loading runs the rules only for ticks whose value changed; this sets every prefix from
// the loaded values. "OLD Wallet Support" and "Wallet" only enable their dependent tick
// here and leave its stored value alone.
void ConfGeneratorWindow::applyTickPrefixes() {
    DISABLE_WALLET_EQUALS_TEXTBOX.setText(prefixText("disablewallet=", WALLET_TICKBOX.ticked()));
    DISABLE_WALLET_TICKBOX.setEnabled(WALLET_TICKBOX.ticked());
    DAEMON_TICKBOX.setEnabled(OLD_WALLET_SUPPORT_TICKBOX.ticked());
    DAEMON_EQUALS_TEXTBOX.setText(prefixText("daemon=", DAEMON_TICKBOX.ticked()));
    for (auto line : tickLines()) line.prefix.setText(prefixText(line.option, line.tick.ticked()));
}

// ---------------------------------------------------------------- tick rules

void ConfGeneratorWindow::walletRule() {
    bool on = WALLET_TICKBOX.ticked();
    DISABLE_WALLET_EQUALS_TEXTBOX.setText(prefixText("disablewallet=", on));
    DISABLE_WALLET_TICKBOX.setEnabled(on);
    if (!on) DISABLE_WALLET_TICKBOX.setValue(0);
}

void ConfGeneratorWindow::oldWalletSupportRule() {
    bool on = OLD_WALLET_SUPPORT_TICKBOX.ticked();
    DAEMON_TICKBOX.setEnabled(on);
    if (!on) DAEMON_TICKBOX.setValue(0);
    DAEMON_EQUALS_TEXTBOX.setText(prefixText("daemon=", on));
}

void ConfGeneratorWindow::daemonRule() {
    DAEMON_EQUALS_TEXTBOX.setText(prefixText("daemon=", DAEMON_TICKBOX.ticked()));
}

// ---------------------------------------------------------------- refresh

void ConfGeneratorWindow::refreshOutput() {
    FULL_SW_CONF_MESSAGE.setText("# - " + CRYPTO_NAME_TEXTBOX.text() + SW_CONF_MESSAGE.text());
    // Only an exactly empty value comments its line out: a lone space is a value.
    for (auto line : textLines()) line.prefix.setText(prefixText(line.option, !line.value.text().empty()));
    CONF_OUTPUT_TEXTBOX.setText(buildOutput());
}

std::string ConfGeneratorWindow::buildOutput() const {
    auto line = [](const TextBox& prefix, std::string_view value) {
        return prefix.text() + std::string(value);
    };
    const std::string& ip = LOCALHOST_IP_TEXTBOX.text();
    const std::vector<std::string> lines = {
        FULL_SW_CONF_MESSAGE.text(),
        line(WALLET_EQUALS_TEXTBOX, WALLET_FILE_TEXTBOX.text()),
        line(DISABLE_WALLET_EQUALS_TEXTBOX, tickText(DISABLE_WALLET_TICKBOX)),
        line(SERVER_EQUALS_TEXTBOX, tickText(SERVER_TICKBOX)),
        line(ALERTS_EQUALS_TEXTBOX, tickText(ALERTS_TICKBOX)),
        line(LISTEN_EQUALS_TEXTBOX, tickText(LISTEN_TICKBOX)),
        line(UPNP_EQUALS_TEXTBOX, tickText(UPNP_TICKBOX)),
        line(DNS_EQUALS_TEXTBOX, tickText(DNS_TICKBOX)),
        line(DAEMON_EQUALS_TEXTBOX, tickText(DAEMON_TICKBOX)),
        line(PEER_ALLOW_LOCAL_IP_TEXTBOX, ip),
        line(RPC_ALLOW_LOCAL_IP_TEXTBOX, ip),
        line(PEER_TIMEOUT_EQUALS_TEXTBOX, TIMEOUT_TEXTBOX.text()),
        line(RPC_TIMEOUT_EQUALS_TEXTBOX, RPC_TIMEOUT_TEXTBOX.text()),
        line(MAX_CONNECTIONS_EQUALS_TEXTBOX, MAX_CONNECTIONS_TEXTBOX.text()),
        line(PORT_EQUALS_TEXTBOX, PEER_PORT_TEXTBOX.text()),
        line(RPC_PORT_EQUALS_TEXTBOX, RPC_PORT_TEXTBOX.text()),
        line(UACOMMENT_EQUALS_TEXTBOX, UACOMMENT_TEXTBOX.text()),
        "",
        line(RPCUSER_EQUALS_TEXTBOX, RPC_USER_TEXTBOX.text()),
        line(RPCPASSWORD_EQUALS_TEXTBOX, RPC_PASSWORD_TEXTBOX.text()),
        line(RPCAUTH_EQUALS_TEXTBOX, RPC_AUTH_TEXTBOX.text()),
        "",
        USER_DEFINED_SETTINGS_TEXTBOX.text(),
        "",
        FULL_NODE_LIST_TEXTBOX.text(),
    };
    // The node reads the file: it gets the line end of the node's system.
    const std::string& lineEnd = app().profile().lineEnd;
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) out += lineEnd;
        out += lines[i];
    }
    return out;
}

// ---------------------------------------------------------------- buttons

void ConfGeneratorWindow::save() {
    if (auto refusal = refusedInput(); !refusal.empty()) return notSaved(refusal);
    // The fields, the file and the file's text in the store land together: a kill leaves the
    // last Save's fields beside the last Save's file.
    SettingsStore::Batch batch(app().store());
    storePosition();
    for (auto* input : storedInputs()) {
        if (input->kind() == ElementKind::TickBox)
            storeTick(static_cast<const TickBox&>(*input));
        else
            storeText(*input);
    }
    CONF_FILE_LOCATION_TEXTBOX.setText(confFilePath());
    // What the user sees is what is written: the output as last refreshed.
    FileSave conf(app(), homeFolder());
    auto written = stageConfFile(conf);
    if (written) conf.keep();
    if (!app().commitSettings(batch, className()))
        return notSaved("The settings store did not keep them; nothing was changed.");
    mainWindow(app()).CRYPTO_NAME_TEXTBOX.setText(CRYPTO_NAME_TEXTBOX.text());
    if (written) written = conf.place();
    if (!written)
        return notSaved(written.error + "\nThe settings are kept; check the home folder and SAVE again.");
    SAVE_STATUS_LABEL.setText("!!! CONF FILE SAVED !!!");
    SAVE_STATUS_LABEL.setBack(colour::green);
    CANCEL_BUTTON.setText("Close");
}

void ConfGeneratorWindow::notSaved(const std::string& why) {
    SAVE_STATUS_LABEL.setText("!!! CONF FILE NOT SAVED !!!");
    SAVE_STATUS_LABEL.setBack(colour::red);
    app().dialogs().message(*this, caption(), "!!! CONF FILE NOT SAVED !!!\n" + why);
}

std::string ConfGeneratorWindow::refusedInput() const {
    // Each of these is one line of the file: a line break would add options of its own
    // (rpcallowip=0.0.0.0/0), a NUL would cut the line.
    for (const auto* field :
         {&CRYPTO_NAME_TEXTBOX, &WALLET_FILE_TEXTBOX, &TIMEOUT_TEXTBOX, &RPC_TIMEOUT_TEXTBOX,
          &MAX_CONNECTIONS_TEXTBOX, &PEER_PORT_TEXTBOX, &RPC_PORT_TEXTBOX, &UACOMMENT_TEXTBOX,
          &RPC_USER_TEXTBOX, &RPC_PASSWORD_TEXTBOX, &RPC_AUTH_TEXTBOX})
        if (auto fault = oneLineFault(field->text()); !fault.empty())
            return field->name() + " cannot be used: " + fault + ".";
    // The node reads "#" as the start of a comment and refuses to start with the rest.
    if (RPC_PASSWORD_TEXTBOX.text().find('#') != std::string::npos)
        return "RPC_PASSWORD_TEXTBOX cannot hold \"#\": the node takes it as the start of a comment and "
               "refuses to start.";
    return {};
}

Outcome ConfGeneratorWindow::stageConfFile(FileSave& conf) {
    const std::string home = homeFolder();
    if (home.empty()) return Outcome::failure("No home folder is set in the main settings.");
    auto& platform = app().platform();
    const std::string configs = HomeLayout(app().profile(), home, app().exe()).folder(HomeFolder::Configs);
    if (!platform.exists(configs))
        if (auto made = platform.createFolder(configs); !made) return made;
    return conf.stage(savedConfigFile(), CONF_OUTPUT_TEXTBOX.text());
}

void ConfGeneratorWindow::clearAll() {
    CRYPTO_NAME_TEXTBOX.setText("");
    WALLET_FILE_TEXTBOX.setText("");
    for (auto* tick : {&WALLET_TICKBOX, &SERVER_TICKBOX, &ALERTS_TICKBOX, &LISTEN_TICKBOX, &UPNP_TICKBOX,
                       &DNS_TICKBOX, &OLD_WALLET_SUPPORT_TICKBOX, &DAEMON_TICKBOX})
        tick->setValue(0);
    DAEMON_TICKBOX.setEnabled(false);
    PEER_LOCALHOST_TICKBOX.setValue(0);
    RPC_LOCALHOST_TICKBOX.setValue(0);
    for (auto* field : {&TIMEOUT_TEXTBOX, &RPC_TIMEOUT_TEXTBOX, &MAX_CONNECTIONS_TEXTBOX, &PEER_PORT_TEXTBOX,
                        &RPC_PORT_TEXTBOX, &UACOMMENT_TEXTBOX, &RPC_USER_TEXTBOX, &RPC_PASSWORD_TEXTBOX,
                        &RPC_AUTH_TEXTBOX, &USER_DEFINED_SETTINGS_TEXTBOX, &FULL_NODE_LIST_TEXTBOX})
        field->setText("");
}

// ---------------------------------------------------------------- closing

void ConfGeneratorWindow::unload() {
    // The preset and credentials windows write into this one: they close with it.
    for (auto* w : app().openWindows())
        if (w->owner() == this) w->close();
    storePosition();
}

// ---------------------------------------------------------------- helpers

// In the order they are loaded and saved.
std::vector<Element*> ConfGeneratorWindow::storedInputs() {
    return {&CRYPTO_NAME_TEXTBOX,
            &WALLET_FILE_TEXTBOX,
            &WALLET_TICKBOX,
            &DISABLE_WALLET_TICKBOX,
            &SERVER_TICKBOX,
            &ALERTS_TICKBOX,
            &LISTEN_TICKBOX,
            &UPNP_TICKBOX,
            &DNS_TICKBOX,
            &OLD_WALLET_SUPPORT_TICKBOX,
            &DAEMON_TICKBOX,
            &PEER_LOCALHOST_TICKBOX,
            &RPC_LOCALHOST_TICKBOX,
            &TIMEOUT_TEXTBOX,
            &RPC_TIMEOUT_TEXTBOX,
            &MAX_CONNECTIONS_TEXTBOX,
            &PEER_PORT_TEXTBOX,
            &RPC_PORT_TEXTBOX,
            &UACOMMENT_TEXTBOX,
            &RPC_USER_TEXTBOX,
            &RPC_PASSWORD_TEXTBOX,
            &RPC_AUTH_TEXTBOX,
            &FULL_NODE_LIST_TEXTBOX,
            &USER_DEFINED_SETTINGS_TEXTBOX};
}

// The ticks whose rule only switches their own line between live and commented.
std::vector<ConfGeneratorWindow::TickLine> ConfGeneratorWindow::tickLines() {
    return {
        {SERVER_TICKBOX, SERVER_EQUALS_TEXTBOX, "server="},
        {ALERTS_TICKBOX, ALERTS_EQUALS_TEXTBOX, "alerts="},
        {LISTEN_TICKBOX, LISTEN_EQUALS_TEXTBOX, "listen="},
        {UPNP_TICKBOX, UPNP_EQUALS_TEXTBOX, "upnp="},
        {DNS_TICKBOX, DNS_EQUALS_TEXTBOX, "dns="},
        {PEER_LOCALHOST_TICKBOX, PEER_ALLOW_LOCAL_IP_TEXTBOX, "allowip="},
        {RPC_LOCALHOST_TICKBOX, RPC_ALLOW_LOCAL_IP_TEXTBOX, "rpcallowip="},
    };
}

// The text fields whose line is live when they hold anything at all.
std::vector<ConfGeneratorWindow::TextLine> ConfGeneratorWindow::textLines() {
    return {
        {WALLET_FILE_TEXTBOX, WALLET_EQUALS_TEXTBOX, "wallet="},
        {TIMEOUT_TEXTBOX, PEER_TIMEOUT_EQUALS_TEXTBOX, "timeout="},
        {RPC_TIMEOUT_TEXTBOX, RPC_TIMEOUT_EQUALS_TEXTBOX, "rpctimeout="},
        {MAX_CONNECTIONS_TEXTBOX, MAX_CONNECTIONS_EQUALS_TEXTBOX, "maxconnections="},
        {PEER_PORT_TEXTBOX, PORT_EQUALS_TEXTBOX, "port="},
        {RPC_PORT_TEXTBOX, RPC_PORT_EQUALS_TEXTBOX, "rpcport="},
        {UACOMMENT_TEXTBOX, UACOMMENT_EQUALS_TEXTBOX, "uacomment="},
        {RPC_USER_TEXTBOX, RPCUSER_EQUALS_TEXTBOX, "rpcuser="},
        {RPC_PASSWORD_TEXTBOX, RPCPASSWORD_EQUALS_TEXTBOX, "rpcpassword="},
        {RPC_AUTH_TEXTBOX, RPCAUTH_EQUALS_TEXTBOX, "rpcauth="},
    };
}

// The home folder as the main settings window shows it.
std::string ConfGeneratorWindow::homeFolder() const {
    return settingsHomeFolder(app()).text();
}

std::string ConfGeneratorWindow::confFilePath() const {
    return HomeLayout(app().profile(), homeFolder(), app().exe()).cryptoConfig();
}

// ---------------------------------------------------------------- layout

LayoutNode ConfGeneratorWindow::layout() {
    auto options = group(
        "OPTIONS",
        {
            row({WALLET_TICKBOX, DISABLE_WALLET_TICKBOX, SERVER_TICKBOX, ALERTS_TICKBOX, LISTEN_TICKBOX,
                 UPNP_TICKBOX, DNS_TICKBOX}),
            row({OLD_WALLET_SUPPORT_TICKBOX, DAEMON_TICKBOX, PEER_LOCALHOST_TICKBOX, RPC_LOCALHOST_TICKBOX}),
        });
    auto network =
        group("NETWORK",
              {
                  row({labelled("PEER Timeout", TIMEOUT_TEXTBOX, 8),
                       labelled("RPC Timeout", RPC_TIMEOUT_TEXTBOX, 8),
                       labelled("Max Connections", MAX_CONNECTIONS_TEXTBOX, 6)}),
                  row({labelled("PEER Port", PEER_PORT_TEXTBOX, 7), labelled("RPC Port", RPC_PORT_TEXTBOX, 7),
                       labelled("User Agent Comment", UACOMMENT_TEXTBOX, 14), NO_2X_BUTTON}),
              });
    auto rpc = group("RPC", {
                                grid({
                                    row({label("RPC Username"), sized(RPC_USER_TEXTBOX, 24)}),
                                    row({label("RPC Password"), sized(RPC_PASSWORD_TEXTBOX, 44)}),
                                    row({label("RPC Auth"), sized(RPC_AUTH_TEXTBOX, 44)}),
                                }),
                                row({SW_RPC_TEST_CREDENTIALS_BUTTON, stretch()}),
                            });
    auto inputs = column({
        grid({
            row({label("Crypto Name"), sized(CRYPTO_NAME_TEXTBOX, 24)}),
            row({label("Wallet File"), sized(WALLET_FILE_TEXTBOX, 24)}),
        }),
        options,
        network,
        rpc,
        row({label("User Defined Settings:"), label("(CTRL-ENTER for a new line)")}),
        sized(USER_DEFINED_SETTINGS_TEXTBOX, 44, 4),
        label("User Defined Settings - USE CAUTION IF NOT 127.0.0.1 / Localhost !!! :)"),
    });
    auto output = column({
        label("CRYPTO CONFIG OUTPUT"),
        lines(CONF_OUTPUT_TEXTBOX, 48, 24),
        sized(CONF_FILE_LOCATION_TEXTBOX, 48),
    });
    return column({
        row({inputs, output}),
        row({IDS_BUTTON, CLEAR_ALL_BUTTON, stretch(), SAVE_STATUS_LABEL, defaultButton(SAVE_BUTTON),
             CANCEL_BUTTON}),
    });
}

}  // namespace pd
