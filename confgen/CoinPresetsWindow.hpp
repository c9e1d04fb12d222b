#pragma once
#include <string_view>

#include "core/Window.hpp"

namespace pd {

class ConfGeneratorWindow;

// PACEDECK_CONF_GENERATOR_IDS: fills the generator's fields with basic option values or a
// coin's name, ports and node list. Every tick it sets runs the generator's tick rule, as
// a click would; nothing reaches the file until the generator's SAVE.
class CoinPresetsWindow final : public Window {
  public:
    CoinPresetsWindow(App& app, ConfGeneratorWindow& generator);
    LayoutNode layout() override;

    TickBox IMPORT_SETTINGS_TICKBOX{*this, "IMPORT_SETTINGS_TICKBOX", {.text = "Import Default Settings"}};
    Button BASIC_SETTINGS_BUTTON{
        *this, "BASIC_SETTINGS_BUTTON", {.text = "BASIC SETTINGS", .enabled = false}};
    Button BTC_IMPORT_BUTTON{*this, "BTC_IMPORT_BUTTON", {.text = "BTC", .enabled = false}};
    Button LTC_IMPORT_BUTTON{*this, "LTC_IMPORT_BUTTON", {.text = "LTC", .enabled = false}};
    Button NMC_IMPORT_BUTTON{*this, "NMC_IMPORT_BUTTON", {.text = "NMC", .enabled = false}};
    Button DASH_IMPORT_BUTTON{*this, "DASH_IMPORT_BUTTON", {.text = "DASH", .enabled = false}};
    Button VTC_IMPORT_BUTTON{
        *this,
        "VTC_IMPORT_BUTTON",
        {.text = "VTC",
         .tip = "The Vertcoin node list is a template of example addresses: replace it with current peers",
         .enabled = false}};
    Button BTG_IMPORT_BUTTON{*this, "BTG_IMPORT_BUTTON", {.text = "BTG", .enabled = false}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};
    TextBox BTC_BTG_RPC_NOTE_TEXTBOX{*this, "BTC_BTG_RPC_NOTE_TEXTBOX", {.locked = true, .multiLine = true}};
    Label VTC_NODE_LIST_NOTE_LABEL{
        *this,
        "VTC_NODE_LIST_NOTE_LABEL",
        {.text = "VTC NODE LIST = EXAMPLE ADDRESSES ONLY - REPLACE THEM WITH CURRENT PEERS"}};

  protected:
    void load() override;
    void unload() override;

  private:
    struct Coin {
        std::string_view name;
        std::string_view peerPort;
        std::string_view rpcPort;
        bool nodeList;   // the Vertcoin node list, else an empty list
        bool oldWallet;  // needs "OLD Wallet Support" and the daemon line
    };
    void arm(bool on);
    void basicSettings();
    void importCoin(const Coin& coin);

    ConfGeneratorWindow& generator_;
};

}  // namespace pd
