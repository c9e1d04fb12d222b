#pragma once
#include <array>

#include "core/Window.hpp"

namespace pd {

// PACEDECK_ALL_OUTPUT_COMMANDS_WINDOW: the six generated commands and their scripts at
// once, as the main window held them when this window opened.
class AllOutputCommandsWindow final : public Window {
  public:
    explicit AllOutputCommandsWindow(App& app);
    LayoutNode layout() override;

    // clang-format off
    Label HEADING_LABEL{*this, "HEADING_LABEL", {.text = "ALL OUTPUT COMMANDS"}};
    TextBox SW_QT_COMMAND_TEXTBOX{*this, "SW_QT_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox SW_D_COMMAND_TEXTBOX{*this, "SW_D_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox SWCLI_STOP_COMMAND_TEXTBOX{*this, "SWCLI_STOP_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX{*this, "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox EMAIL_OUTPUT_START_COMMAND_TEXTBOX{*this, "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox EMAIL_OUTPUT_END_COMMAND_TEXTBOX{*this, "EMAIL_OUTPUT_END_COMMAND_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox PACEDECK_QT_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_QT_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_DAEMON_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_DAEMON_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_CLI_STOP_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_CLI_STOP_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_BLOCKCOUNTER_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_BLOCKCOUNTER_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_SE_START_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_SE_START_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_SE_END_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_SE_END_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX{*this, "GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX{*this, "GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX", {.locked = true, .multiLine = true}};
    TextBox PACEDECK_BLOCKCHAININFO_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_BLOCKCHAININFO_BAT_LOCATION_TEXTBOX", {.locked = true}};
    TextBox PACEDECK_CONNECTIONCOUNT_BAT_LOCATION_TEXTBOX{*this, "PACEDECK_CONNECTIONCOUNT_BAT_LOCATION_TEXTBOX", {.locked = true}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    // clang-format on

  protected:
    void load() override;
    void unload() override { storePosition(); }

  private:
    // In the order of the generated commands.
    std::array<TextBox*, 8> commandBoxes();
    std::array<TextBox*, 8> scriptBoxes();
};

}  // namespace pd
