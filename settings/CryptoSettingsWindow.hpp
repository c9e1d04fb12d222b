#pragma once
#include <array>
#include <string>

#include "core/Window.hpp"
#include "main/MainWindow.hpp"

namespace pd {

class FileSave;

// PACEDECK_CRYPTO_SETTINGS: which coin this copy serves and where its node programs live.
// It assembles the node commands once a second and, on Save, stores its fields,
// writes each command as a one-line script into BATS and hands commands and program names
// to the main window.
class CryptoSettingsWindow final : public Window {
  public:
    explicit CryptoSettingsWindow(App& app);
    LayoutNode layout() override;

    // The node program's file is also the process name its light watches.
    static constexpr const char* programTip =
        "THE PROGRAM RUN, AND THE PROCESS NAME WATCHED - A WRAPPER SCRIPT THAT EXECS ANOTHER PROGRAM "
        "(DEBIAN'S /usr/bin/litecoin) IS FOLLOWED TO IT ON LINUX";

    TextBox CRYPTO_NAME_TEXTBOX{*this, "CRYPTO_NAME_TEXTBOX"};
    TextBox BLOCKCHAIN_HOME_TEXTBOX{*this, "BLOCKCHAIN_HOME_TEXTBOX"};
    Button BROWSE_BLOCKCHAIN_FOLDER_BUTTON{*this, "BROWSE_BLOCKCHAIN_FOLDER_BUTTON", {.text = "..."}};
    TextBox QT_LOCATION_TEXTBOX{*this, "QT_LOCATION_TEXTBOX"};
    Button USE_QT_FOLDER_BUTTON{*this, "USE_QT_FOLDER_BUTTON", {.text = "Use"}};
    Button BROWSE_QT_FOLDER_BUTTON{*this, "BROWSE_QT_FOLDER_BUTTON", {.text = "..."}};
    TextBox QT_NAME_TEXTBOX{*this, "QT_NAME_TEXTBOX", {.tip = programTip}};
    Button USE_QT_FILE_BUTTON{*this, "USE_QT_FILE_BUTTON", {.text = "Use"}};
    Button BROWSE_QT_FILE_BUTTON{*this, "BROWSE_QT_FILE_BUTTON", {.text = "..."}};
    TickBox QT_WALLET_TICKBOX{*this, "QT_WALLET_TICKBOX", {.text = "Wallet", .tip = "disablewallet="}};
    TickBox QT_DISABLE_WALLET_TICKBOX{
        *this,
        "QT_DISABLE_WALLET_TICKBOX",
        {.text = "Disabled", .tip = "!!! DISABLES ALL WALLET FUNCTIONALITY !!!", .enabled = false}};
    TextBox DAEMON_CLI_LOCATION_TEXTBOX{*this, "DAEMON_CLI_LOCATION_TEXTBOX"};
    Button USE_DAEMON_FOLDER_BUTTON{*this, "USE_DAEMON_FOLDER_BUTTON", {.text = "Use"}};
    Button BROWSE_DAEMON_FOLDER_BUTTON{*this, "BROWSE_DAEMON_FOLDER_BUTTON", {.text = "..."}};
    TextBox DAEMOND_NAME_TEXTBOX{*this, "DAEMOND_NAME_TEXTBOX", {.tip = programTip}};
    Button USE_DAEMOND_FILE_BUTTON{*this, "USE_DAEMOND_FILE_BUTTON", {.text = "Use"}};
    Button BROWSE_DAEMOND_FILE_BUTTON{*this, "BROWSE_DAEMOND_FILE_BUTTON", {.text = "..."}};
    TickBox DAEMON_WALLET_TICKBOX{
        *this, "DAEMON_WALLET_TICKBOX", {.text = "Wallet", .tip = "disablewallet="}};
    TickBox DAEMON_DISABLE_WALLET_TICKBOX{
        *this,
        "DAEMON_DISABLE_WALLET_TICKBOX",
        {.text = "Disabled", .tip = "!!! DISABLES ALL WALLET FUNCTIONALITY !!!", .enabled = false}};
    TextBox DAEMONCLI_NAME_SETTINGS_TEXTBOX{*this, "DAEMONCLI_NAME_SETTINGS_TEXTBOX"};
    Button USE_DAEMONCLI_FILE_BUTTON{*this, "USE_DAEMONCLI_FILE_BUTTON", {.text = "Use"}};
    Button BROWSE_DAEMON_CLI_FILE_BUTTON{*this, "BROWSE_DAEMON_CLI_FILE_BUTTON", {.text = "..."}};
    TickBox CLI_DAEMON_TICKBOX{*this, "CLI_DAEMON_TICKBOX", {.text = "Daemon"}};
    TickBox DISABLE_DAEMON_TICKBOX{*this, "DISABLE_DAEMON_TICKBOX", {.text = "Disabled", .enabled = false}};
    TickBox SYNC_CHECK_TICKBOX{
        *this,
        "SYNC_CHECK_TICKBOX",
        {.text = "SYNC CHECK",
         .tip = "ASK THE NODE WHETHER IT HAS CAUGHT UP BEFORE BELIEVING THE BLOCK COUNT"}};
    TextBox STALL_LIMIT_TEXTBOX{
        *this,
        "STALL_LIMIT_TEXTBOX",
        {.text = "00:30:00",
         .tip = "A NODE BEHIND WHOSE HEIGHT HAS NOT RISEN FOR THIS LONG IS STUCK: THE RUN ENDS"}};
    Button SAVE_BUTTON{*this, "SAVE_BUTTON", {.text = "Save"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};
    Button VIEW_OUTPUT_COMMANDS_BUTTON{
        *this, "VIEW_OUTPUT_COMMANDS_BUTTON", {.text = "VIEW OUTPUT COMMANDS"}};

    // ---- not shown: the configuration path, the three options and the generated commands
    TextBox CONF_FILE_LOCATION_TEXTBOX{*this, "CONF_FILE_LOCATION_TEXTBOX", {.visible = false}};
    TextBox QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX{
        *this, "QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX", {.visible = false}};
    TextBox DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX{
        *this, "DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX", {.visible = false}};
    TextBox DASH_DISABLE_DAEMON_EQUALS_TEXTBOX{
        *this, "DASH_DISABLE_DAEMON_EQUALS_TEXTBOX", {.visible = false}};
    TextBox SW_QT_COMMAND_TEXTBOX{*this,
                                  "SW_QT_COMMAND_TEXTBOX",
                                  {.text = MainWindow::placeholderQt, .visible = false, .locked = true}};
    TextBox SW_D_COMMAND_TEXTBOX{*this,
                                 "SW_D_COMMAND_TEXTBOX",
                                 {.text = MainWindow::placeholderDaemon, .visible = false, .locked = true}};
    TextBox SWCLI_STOP_COMMAND_TEXTBOX{
        *this,
        "SWCLI_STOP_COMMAND_TEXTBOX",
        {.text = MainWindow::placeholderCliStop, .visible = false, .locked = true}};
    TextBox GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX{
        *this,
        "GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX",
        {.text = MainWindow::placeholderBlockcount, .visible = false, .locked = true}};
    TextBox GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX{
        *this, "GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX", {.visible = false, .locked = true}};
    TextBox GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX{
        *this, "GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX", {.visible = false, .locked = true}};

    // Rebuilds the commands once a second from whatever the fields hold.
    Timer REGENERATE_COMMANDS_TIMER{*this, "REGENERATE_COMMANDS_TIMER"};

  protected:
    void load() override;
    void unload() override;

  private:
    // An enabling tickbox, its "Disabled" tickbox and the option field they decide.
    struct OptionRule {
        TickBox& enabling;
        TickBox& disabled;
        TextBox& option;
        std::string_view whenEnabled;   // "-disablewallet=0" / "-daemon=1"
        std::string_view whenDisabled;  // "-disablewallet=1" / "-daemon=0"
    };

    void enablingClicked(const OptionRule& r);
    void disabledClicked(const OptionRule& r);
    void applyLoadedOptions(const OptionRule& r);
    void regenerate();
    void browseFolder(TextBox& field, const std::string& title);
    void browseFile(TextBox& nameField, const TextBox& folderField, const std::string& title);
    void saveClicked();
    bool stageScripts(FileSave& scripts);
    void scriptsNotWritten(const std::string& why);

    // The window that opened this one holds the home folder and the configuration path.
    const TextBox& settingsHome() const;
    const TextBox& settingsConf() const;

    std::array<OptionRule, 3> options_{{
        {QT_WALLET_TICKBOX, QT_DISABLE_WALLET_TICKBOX, QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX,
         "-disablewallet=0", "-disablewallet=1"},
        {DAEMON_WALLET_TICKBOX, DAEMON_DISABLE_WALLET_TICKBOX, DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX,
         "-disablewallet=0", "-disablewallet=1"},
        {CLI_DAEMON_TICKBOX, DISABLE_DAEMON_TICKBOX, DASH_DISABLE_DAEMON_EQUALS_TEXTBOX, "-daemon=1",
         "-daemon=0"},
    }};
};

}  // namespace pd
