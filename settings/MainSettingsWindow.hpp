#pragma once
#include <string>

#include "core/HomeLayout.hpp"
#include "core/Window.hpp"

namespace pd {

// PACEDECK_MAIN_SETTINGS: where the program lives on disk (the home folder and its
// sub-folders), which configuration file the node commands name, the heartbeat interval
// and the autoload choice; the hub from which the other settings windows open.
class MainSettingsWindow final : public Window {
  public:
    explicit MainSettingsWindow(App& app);
    LayoutNode layout() override;

    TextBox PACEDECK_HOME_TEXTBOX{*this, "PACEDECK_HOME_TEXTBOX"};
    Button USE_DEFAULT_BUTTON{*this, "USE_DEFAULT_BUTTON", {.text = "Default"}};
    Button USE_CURRENT_BUTTON{*this, "USE_CURRENT_BUTTON", {.text = "Current"}};
    Button BROWSE_FOLDER_BUTTON{
        *this, "BROWSE_FOLDER_BUTTON", {.text = "...", .tip = "Browse for the home folder"}};
    Button CREATE_FOLDERS_BUTTON{*this, "CREATE_FOLDERS_BUTTON", {.text = "CREATE FOLDERS / GBC LOG"}};
    TickBox USE_OWN_CONF_TICKBOX{*this, "USE_OWN_CONF_TICKBOX", {.text = "USE OWN \".CONF\" FILE"}};
    Label CONF_FILE_LOCATION_LABEL{*this, "CONF_FILE_LOCATION_LABEL", {.text = "SELECT \".CONF\" FILE:"}};
    TextBox CONF_FILE_LOCATION_TEXTBOX{*this, "CONF_FILE_LOCATION_TEXTBOX"};
    Button CONF_BROWSE_BUTTON{
        *this, "CONF_BROWSE_BUTTON", {.text = "...", .tip = "Browse for the \".conf\" file"}};
    TextBox HEARTBEAT_COUNTDOWN_TIME_TEXTBOX{*this, "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"};
    TickBox AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX{
        *this, "AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX", {.text = "AutoLoad Block Count File On Startup"}};
    TextBox GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX{
        *this, "GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX", {.visible = false}};
    TickBox TRAY_NOTIFY_TICKBOX{*this, "TRAY_NOTIFY_TICKBOX", {.text = "Tray Icon And Notifications"}};
    TextBox MESSAGE_STATUS_TEXTBOX{*this, "MESSAGE_STATUS_TEXTBOX", {.locked = true}};

    Button CRYPTO_SETTINGS_BUTTON{*this, "CRYPTO_SETTINGS_BUTTON", {.text = "CRYPTO SETTINGS"}};
    Button SE_SETTINGS_BUTTON{*this, "SE_SETTINGS_BUTTON", {.text = "EMAIL SETTINGS"}};
    Button CONF_MANAGER_BUTTON{*this, "CONF_MANAGER_BUTTON", {.text = "CRYPTO \".CONF\" FILE MANAGER"}};
    Button VIEW_OUTPUT_COMMANDS_BUTTON{
        *this, "VIEW_OUTPUT_COMMANDS_BUTTON", {.text = "VIEW OUTPUT COMMANDS"}};
    Button REPORTS_LOGS_BUTTON{*this, "REPORTS_LOGS_BUTTON", {.text = "REPORTS / LOGS"}};
    Button POWER_AUTOTIMER_BUTTON{*this, "POWER_AUTOTIMER_BUTTON", {.text = "POWER AUTOTIMER SETTINGS"}};
    Button SCHEDULER_BUTTON{*this, "SCHEDULER_BUTTON", {.text = "SCHEDULER"}};
    Button OK_BUTTON{*this, "OK_BUTTON", {.text = "OK"}};
    Button CANCEL_BUTTON{*this, "CANCEL_BUTTON", {.text = "Cancel"}};

    static constexpr const char* defaultFolderStatus = "!!! DEFAULT FOLDER USED - THANKS !!!";
    static constexpr const char* otherFolderStatus = "!!! NOT DEFAULT FOLDER - BEWARE OF FAILURES !!!";
    static constexpr const char* confChangedStatus = "!!! CONF FILE CHANGED - RE-SAVE CRYPTO SETTINGS !!!";
    static constexpr const char* foldersCreatedStatus = "!!! FOLDERS & GETBLOCKCOUNT LOG FILE CREATED !!!";

  protected:
    void load() override;
    void unload() override;

  private:
    // handlers, in the order of the window
    void homeFolderChanged();
    void useDefaultClicked();
    void useCurrentClicked();
    void browseFolderClicked();
    void createFoldersClicked();
    void ownConfChanged();
    void confBrowseClicked();
    void autoloadChanged();
    void trayNotifyChanged();
    void okClicked();

    void showHomeFolderStatus();
    void applyOwnConfChoice();
    void status(std::string_view text, Colour back);
    void reportFailure(const std::string& what);
    bool createHomeFolder();
    // This copy's files under the home folder being edited here.
    HomeLayout files() const;
    void storeOnEveryClose();
};

// The home folder the settings windows write their files under: the main settings
// window's field while it is open (it may hold a folder not yet confirmed by OK),
// otherwise the main window's.
const TextBox& settingsHomeFolder(App& app);

}  // namespace pd
