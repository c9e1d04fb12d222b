#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/Window.hpp"
#include "platform/Platform.hpp"

namespace pd {

class FileSave;

// PACEDECK_CONF_GENERATOR_MAIN: composes the node's configuration file from ticks and
// fields. Every output line is a prefix field ("server=" or, commented out, "#server=")
// followed by a value; the ticks and the emptiness of the values decide the prefixes, and
// a once-a-second refresh rebuilds the whole text that SAVE writes.
class ConfGeneratorWindow final : public Window {
  public:
    explicit ConfGeneratorWindow(App& app);
    LayoutNode layout() override;

    // The refresh's work: header, text-driven prefixes, the whole output text.
    void refreshOutput();
    // The configuration file of this copy under the current home folder.
    std::string confFilePath() const;

    // ---- inputs, each stored under its own name
    TextBox CRYPTO_NAME_TEXTBOX{*this, "CRYPTO_NAME_TEXTBOX", {.tip = "Enter Crypto Name eg BTC"}};
    TextBox WALLET_FILE_TEXTBOX{
        *this, "WALLET_FILE_TEXTBOX", {.tip = "Wallet File Saved In Blockchain Folder - Default=wallet.dat"}};
    TickBox WALLET_TICKBOX{*this, "WALLET_TICKBOX", {.text = "Wallet"}};
    TickBox DISABLE_WALLET_TICKBOX{
        *this,
        "DISABLE_WALLET_TICKBOX",
        {.text = "Disabled", .tip = "!!! DISABLES ALL WALLET FUNCTIONALITY !!!", .enabled = false}};
    TickBox SERVER_TICKBOX{*this, "SERVER_TICKBOX", {.text = "Server"}};
    TickBox ALERTS_TICKBOX{*this, "ALERTS_TICKBOX", {.text = "Alerts"}};
    TickBox LISTEN_TICKBOX{*this, "LISTEN_TICKBOX", {.text = "Listen"}};
    TickBox UPNP_TICKBOX{*this, "UPNP_TICKBOX", {.text = "UPnP"}};
    TickBox DNS_TICKBOX{*this, "DNS_TICKBOX", {.text = "DNS"}};
    TickBox OLD_WALLET_SUPPORT_TICKBOX{
        *this,
        "OLD_WALLET_SUPPORT_TICKBOX",
        {.text = "OLD Wallet Support", .tip = "For OLD Crypto's eg Namecoin NMC"}};
    TickBox DAEMON_TICKBOX{*this, "DAEMON_TICKBOX", {.text = "Daemon", .enabled = false}};
    TickBox PEER_LOCALHOST_TICKBOX{*this, "PEER_LOCALHOST_TICKBOX", {.text = "PEER - Allow Localhost"}};
    TickBox RPC_LOCALHOST_TICKBOX{*this, "RPC_LOCALHOST_TICKBOX", {.text = "RPC - Allow Localhost"}};
    TextBox TIMEOUT_TEXTBOX{
        *this, "TIMEOUT_TEXTBOX", {.tip = "timeout=   (Milliseconds - Minimum=1 - Default=5000)"}};
    TextBox RPC_TIMEOUT_TEXTBOX{*this, "RPC_TIMEOUT_TEXTBOX"};
    TextBox MAX_CONNECTIONS_TEXTBOX{*this, "MAX_CONNECTIONS_TEXTBOX"};
    TextBox PEER_PORT_TEXTBOX{*this, "PEER_PORT_TEXTBOX"};
    TextBox RPC_PORT_TEXTBOX{*this, "RPC_PORT_TEXTBOX"};
    TextBox UACOMMENT_TEXTBOX{*this, "UACOMMENT_TEXTBOX"};
    TextBox RPC_USER_TEXTBOX{*this, "RPC_USER_TEXTBOX"};
    TextBox RPC_PASSWORD_TEXTBOX{*this, "RPC_PASSWORD_TEXTBOX"};
    TextBox RPC_AUTH_TEXTBOX{*this, "RPC_AUTH_TEXTBOX"};
    // Changed only by the coin presets and Clear ALL; the user sees it in the output.
    TextBox FULL_NODE_LIST_TEXTBOX{*this, "FULL_NODE_LIST_TEXTBOX", {.visible = false, .multiLine = true}};
    TextBox USER_DEFINED_SETTINGS_TEXTBOX{*this, "USER_DEFINED_SETTINGS_TEXTBOX", {.multiLine = true}};

    // ---- internal pieces of the output
    TextBox SW_CONF_MESSAGE{
        *this,
        "SW_CONF_MESSAGE",
        {.text = " - CONF FILE CREATED USING SYNCWARD - PACEDECK - CONF-GENERATOR -", .visible = false}};
    TextBox FULL_SW_CONF_MESSAGE{*this, "FULL_SW_CONF_MESSAGE", {.visible = false}};
    TextBox LOCALHOST_IP_TEXTBOX{*this, "LOCALHOST_IP_TEXTBOX", {.text = "127.0.0.1", .visible = false}};
    TextBox VTC_NODE_LIST_TEXTBOX{*this, "VTC_NODE_LIST_TEXTBOX", {.visible = false, .multiLine = true}};
    TextBox WALLET_EQUALS_TEXTBOX{*this, "WALLET_EQUALS_TEXTBOX", {.visible = false}};
    TextBox DISABLE_WALLET_EQUALS_TEXTBOX{*this, "DISABLE_WALLET_EQUALS_TEXTBOX", {.visible = false}};
    TextBox SERVER_EQUALS_TEXTBOX{*this, "SERVER_EQUALS_TEXTBOX", {.visible = false}};
    TextBox ALERTS_EQUALS_TEXTBOX{*this, "ALERTS_EQUALS_TEXTBOX", {.visible = false}};
    TextBox LISTEN_EQUALS_TEXTBOX{*this, "LISTEN_EQUALS_TEXTBOX", {.visible = false}};
    TextBox UPNP_EQUALS_TEXTBOX{*this, "UPNP_EQUALS_TEXTBOX", {.visible = false}};
    TextBox DNS_EQUALS_TEXTBOX{*this, "DNS_EQUALS_TEXTBOX", {.visible = false}};
    TextBox DAEMON_EQUALS_TEXTBOX{*this, "DAEMON_EQUALS_TEXTBOX", {.visible = false}};
    TextBox PEER_ALLOW_LOCAL_IP_TEXTBOX{*this, "PEER_ALLOW_LOCAL_IP_TEXTBOX", {.visible = false}};
    TextBox RPC_ALLOW_LOCAL_IP_TEXTBOX{*this, "RPC_ALLOW_LOCAL_IP_TEXTBOX", {.visible = false}};
    TextBox PEER_TIMEOUT_EQUALS_TEXTBOX{*this, "PEER_TIMEOUT_EQUALS_TEXTBOX", {.visible = false}};
    TextBox RPC_TIMEOUT_EQUALS_TEXTBOX{*this, "RPC_TIMEOUT_EQUALS_TEXTBOX", {.visible = false}};
    TextBox MAX_CONNECTIONS_EQUALS_TEXTBOX{*this, "MAX_CONNECTIONS_EQUALS_TEXTBOX", {.visible = false}};
    TextBox PORT_EQUALS_TEXTBOX{*this, "PORT_EQUALS_TEXTBOX", {.visible = false}};
    TextBox RPC_PORT_EQUALS_TEXTBOX{*this, "RPC_PORT_EQUALS_TEXTBOX", {.visible = false}};
    TextBox UACOMMENT_EQUALS_TEXTBOX{*this, "UACOMMENT_EQUALS_TEXTBOX", {.visible = false}};
    TextBox RPCUSER_EQUALS_TEXTBOX{*this, "RPCUSER_EQUALS_TEXTBOX", {.visible = false}};
    TextBox RPCPASSWORD_EQUALS_TEXTBOX{*this, "RPCPASSWORD_EQUALS_TEXTBOX", {.visible = false}};
    TextBox RPCAUTH_EQUALS_TEXTBOX{*this, "RPCAUTH_EQUALS_TEXTBOX", {.visible = false}};

    // ---- what the user sees of the file
    TextBox CONF_FILE_LOCATION_TEXTBOX{*this, "CONF_FILE_LOCATION_TEXTBOX", {.locked = true}};
    TextBox CONF_OUTPUT_TEXTBOX{
        *this, "CONF_OUTPUT_TEXTBOX", {.tip = "Final Crypto-Conf Output", .locked = true, .multiLine = true}};
    // Outcome of the last SAVE.
    Label SAVE_STATUS_LABEL{*this, "SAVE_STATUS_LABEL"};

    // ---- buttons
    Button SAVE_BUTTON{*this, "SAVE_BUTTON", {.text = "SAVE"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};
    Button NO_2X_BUTTON{*this, "NO_2X_BUTTON", {.text = "NO2X"}};
    Button IDS_BUTTON{*this, "IDS_BUTTON", {.text = "Import Default Settings"}};
    Button SW_RPC_TEST_CREDENTIALS_BUTTON{
        *this,
        "SW_RPC_TEST_CREDENTIALS_BUTTON",
        {.text = "RPC TEST Credentials",
         .tip = "TEST ONLY - Make your own credentials with the node project's rpcauth script (rpcauth.py, "
                "formerly rpcuser.py), which needs a Python interpreter"}};
    Button CLEAR_ALL_BUTTON{*this, "CLEAR_ALL_BUTTON", {.text = "Clear ALL"}};

    Timer REFRESH_TIMER{*this, "REFRESH_TIMER"};

  protected:
    void load() override;
    void unload() override;

  private:
    // Tick rules.
    void walletRule();
    void oldWalletSupportRule();
    void daemonRule();
    // Buttons.
    void save();
    void clearAll();

    struct TickLine {
        TickBox& tick;
        TextBox& prefix;
        std::string_view option;
    };
    struct TextLine {
        TextBox& value;
        TextBox& prefix;
        std::string_view option;
    };
    std::vector<TickLine> tickLines();
    std::vector<TextLine> textLines();

    void applyTickPrefixes();
    std::vector<Element*> storedInputs();
    std::string homeFolder() const;
    // Why the inputs cannot make a sound file; empty when they can.
    std::string refusedInput() const;
    // Stages the file (making CONFIGS when it is missing) for the Save to put in place.
    Outcome stageConfFile(FileSave& conf);
    void notSaved(const std::string& why);
    std::string buildOutput() const;
};

}  // namespace pd
