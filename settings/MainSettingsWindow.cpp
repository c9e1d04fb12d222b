#include "settings/MainSettingsWindow.hpp"

#include <vector>

#include "confgen/ConfGeneratorWindow.hpp"
#include "core/App.hpp"
#include "core/OneLine.hpp"
#include "core/TextFile.hpp"
#include "main/MainWindow.hpp"
#include "schedule/PowerAutotimerSettingsWindow.hpp"
#include "schedule/SchedulerWindow.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/NodeCommands.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd {

MainSettingsWindow::MainSettingsWindow(App& app)
    : Window(app, "PACEDECK_MAIN_SETTINGS", "PACEDECK - MAIN SETTINGS") {
    PACEDECK_HOME_TEXTBOX.onChange = [this] { homeFolderChanged(); };
    USE_DEFAULT_BUTTON.onClick = [this] { useDefaultClicked(); };
    USE_CURRENT_BUTTON.onClick = [this] { useCurrentClicked(); };
    BROWSE_FOLDER_BUTTON.onClick = [this] { browseFolderClicked(); };
    CREATE_FOLDERS_BUTTON.onClick = [this] { createFoldersClicked(); };
    USE_OWN_CONF_TICKBOX.onChange = [this] { ownConfChanged(); };
    CONF_BROWSE_BUTTON.onClick = [this] { confBrowseClicked(); };
    AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.onChange = [this] { autoloadChanged(); };
    TRAY_NOTIFY_TICKBOX.onChange = [this] { trayNotifyChanged(); };
    CRYPTO_SETTINGS_BUTTON.onClick = [this] { this->app().open<CryptoSettingsWindow>(this); };
    SE_SETTINGS_BUTTON.onClick = [this] { this->app().open<EmailSettingsWindow>(this); };
    CONF_MANAGER_BUTTON.onClick = [this] { this->app().open<ConfGeneratorWindow>(this); };
    POWER_AUTOTIMER_BUTTON.onClick = [this] { this->app().open<PowerAutotimerSettingsWindow>(this); };
    VIEW_OUTPUT_COMMANDS_BUTTON.onClick = [this] { this->app().open<SingleOutputCommandsWindow>(this); };
    REPORTS_LOGS_BUTTON.onClick = [this] { this->app().open<ReportsLogsWindow>(this); };
    SCHEDULER_BUTTON.onClick = [this] { this->app().open<SchedulerWindow>(this); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

// ---------------------------------------------------------------- opening

void MainSettingsWindow::load() {
    restoreGeometry();

    // Loading runs the home folder rule even when the stored folder is the empty one shown.
    const auto shown = PACEDECK_HOME_TEXTBOX.text();
    loadText(PACEDECK_HOME_TEXTBOX);
    if (PACEDECK_HOME_TEXTBOX.text() == shown) homeFolderChanged();

    HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.setText(setting(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.name()));
    loadTick(USE_OWN_CONF_TICKBOX);
    loadText(CONF_FILE_LOCATION_TEXTBOX);
    loadText(GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX);
    loadTick(AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX);
    loadTick(TRAY_NOTIFY_TICKBOX);

    MESSAGE_STATUS_TEXTBOX.setText("");

    applyOwnConfChoice();
    showHomeFolderStatus();
}

// ---------------------------------------------------------------- handlers

void MainSettingsWindow::homeFolderChanged() {
    const bool hasHome = !PACEDECK_HOME_TEXTBOX.text().empty();
    CONF_MANAGER_BUTTON.setEnabled(hasHome);
    CRYPTO_SETTINGS_BUTTON.setEnabled(hasHome);
    CREATE_FOLDERS_BUTTON.setEnabled(hasHome);
    if (!hasHome) AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.setValue(0);  // its rule stores "0", as a click would
    AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.setEnabled(hasHome);
    // The default configuration file lives in the home folder: it follows the folder, so
    // that OK or the crypto settings never take it from a folder that is no longer home.
    if (!USE_OWN_CONF_TICKBOX.ticked()) CONF_FILE_LOCATION_TEXTBOX.setText(files().cryptoConfig());
    showHomeFolderStatus();
}

void MainSettingsWindow::useDefaultClicked() {
    PACEDECK_HOME_TEXTBOX.setText(app().profile().defaultHome);
}

void MainSettingsWindow::useCurrentClicked() {
    PACEDECK_HOME_TEXTBOX.setText(app().platform().executableFolder());
}

void MainSettingsWindow::browseFolderClicked() {
    // A cancelled browser leaves the field as it was.
    if (auto folder =
            app().dialogs().browseFolder(*this, "PACEDECK - Home Folder", PACEDECK_HOME_TEXTBOX.text()))
        PACEDECK_HOME_TEXTBOX.setText(*folder);
}

void MainSettingsWindow::createFoldersClicked() {
    const auto home = PACEDECK_HOME_TEXTBOX.text();
    if (home.empty()) return;
    if (!createHomeFolder()) return;
    auto& platform = app().platform();
    const auto& profile = app().profile();
    for (auto folder : homeFolders) {
        auto made = platform.createFolder(files().folder(folder));
        if (!made) return reportFailure(made.error);
    }
    auto written = writeTextFile(platform, profile, files().latestBlockcount(), profile.lineEnd);
    if (!written) return reportFailure(written.error);
    MESSAGE_STATUS_TEXTBOX.setText(foldersCreatedStatus);
}

void MainSettingsWindow::ownConfChanged() {
    applyOwnConfChoice();
    mainWindow(app()).CONF_FILE_LOCATION_TEXTBOX.setText(CONF_FILE_LOCATION_TEXTBOX.text());
    storeTick(USE_OWN_CONF_TICKBOX);
    storeText(CONF_FILE_LOCATION_TEXTBOX);
    // The node scripts carry the configuration path of their last Save.
    status(confChangedStatus, colour::red);
}

void MainSettingsWindow::confBrowseClicked() {
    auto file = app().dialogs().openFile(*this, CONF_FILE_LOCATION_LABEL.text(),
                                         "CONF Files (*.conf)|*.conf|All files (*.*)|*.*", "conf",
                                         PACEDECK_HOME_TEXTBOX.text());
    if (file) CONF_FILE_LOCATION_TEXTBOX.setText(*file);
}

void MainSettingsWindow::autoloadChanged() {
    storeTick(AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX);
    mainWindow(app()).AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.setValue(AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX.value());
}

void MainSettingsWindow::trayNotifyChanged() {
    // Kept at once, and the icon goes or comes at once; opening the window writes nothing.
    if (setting(TRAY_NOTIFY_TICKBOX.name()) != std::to_string(TRAY_NOTIFY_TICKBOX.value()))
        storeTick(TRAY_NOTIFY_TICKBOX);
    mainWindow(app()).TRAY_NOTIFY_TICKBOX.setValue(TRAY_NOTIFY_TICKBOX.value());
}

void MainSettingsWindow::okClicked() {
    // The home folder goes into every script, the crontab line and the .conf path.
    for (auto* field : {&PACEDECK_HOME_TEXTBOX, &CONF_FILE_LOCATION_TEXTBOX})
        if (auto fault = oneLineFault(field->text()); !fault.empty()) {
            const auto text = "!!! " + field->name() + " CANNOT BE USED: " + fault + " !!!";
            status(text, colour::red);
            app().dialogs().message(*this, caption(), text);
            return;
        }
    auto& main = mainWindow(app());
    SettingsStore::Batch batch(app().store());
    storeOnEveryClose();
    main.CONF_FILE_LOCATION_TEXTBOX.setText(CONF_FILE_LOCATION_TEXTBOX.text());
    main.heartbeats.resetFromSettings();
    main.PACEDECK_HOME_TEXTBOX.setText(PACEDECK_HOME_TEXTBOX.text());
    main.HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.setText(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX.text());
    GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.setText(files().latestBlockcount());
    main.GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.setText(GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX.text());
    storeText(GETBLOCKCOUNT_LOG_LOCATION_TEXTBOX);
    storeTick(AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX);
    close();
    app().commitSettings(batch, className());
}

// ---------------------------------------------------------------- closing

void MainSettingsWindow::unload() {
    storePosition();
    // Every way of closing keeps these four in the store; only OK hands them to the main window.
    storeOnEveryClose();
}

// ---------------------------------------------------------------- helpers

void MainSettingsWindow::showHomeFolderStatus() {
    // Exact comparison: the default folder typed in other letter case is not the default.
    const bool isDefault = PACEDECK_HOME_TEXTBOX.text() == app().profile().defaultHome;
    const Colour c = isDefault ? colour::green : colour::red;
    status(isDefault ? defaultFolderStatus : otherFolderStatus, c);
    PACEDECK_HOME_TEXTBOX.setBack(c);
}

void MainSettingsWindow::applyOwnConfChoice() {
    // An own file is typed or browsed (red: the user's choice); the default one is derived
    // from the home folder (green).
    const bool own = USE_OWN_CONF_TICKBOX.ticked();
    CONF_FILE_LOCATION_LABEL.setEnabled(own);
    CONF_FILE_LOCATION_TEXTBOX.setEnabled(own);
    CONF_FILE_LOCATION_TEXTBOX.setLocked(!own);
    CONF_BROWSE_BUTTON.setEnabled(own);
    CONF_MANAGER_BUTTON.setEnabled(!own);
    if (own)
        loadText(CONF_FILE_LOCATION_TEXTBOX);
    else
        CONF_FILE_LOCATION_TEXTBOX.setText(files().cryptoConfig());
    CONF_FILE_LOCATION_TEXTBOX.setBack(own ? colour::red : colour::green);
}

void MainSettingsWindow::status(std::string_view text, Colour back) {
    MESSAGE_STATUS_TEXTBOX.setText(text);
    MESSAGE_STATUS_TEXTBOX.setBack(back);
}

void MainSettingsWindow::reportFailure(const std::string& what) {
    const auto text = "!!! FOLDERS / GETBLOCKCOUNT LOG NOT CREATED - " + what + " !!!";
    status(text, colour::red);
    app().dialogs().message(*this, caption(), text);
}

bool MainSettingsWindow::createHomeFolder() {
    // The home folder and any missing parents of it, outermost first.
    auto& platform = app().platform();
    const char sep = app().profile().separator;
    std::string home = PACEDECK_HOME_TEXTBOX.text();
    while (home.size() > 1 && home.back() == sep) home.pop_back();
    std::vector<std::string> missing;
    for (std::string folder = home; !folder.empty() && !platform.exists(folder);) {
        missing.push_back(folder);
        auto cut = folder.find_last_of(sep);
        if (cut == std::string::npos || cut == 0) break;
        folder.resize(cut);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        auto made = platform.createFolder(*it);
        if (!made) {
            reportFailure(made.error);
            return false;
        }
    }
    return true;
}

HomeLayout MainSettingsWindow::files() const {
    return {app().profile(), PACEDECK_HOME_TEXTBOX.text(), app().exe()};
}

void MainSettingsWindow::storeOnEveryClose() {
    storeText(PACEDECK_HOME_TEXTBOX);
    storeText(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX);
    storeTick(USE_OWN_CONF_TICKBOX);
    storeText(CONF_FILE_LOCATION_TEXTBOX);
}

// ---------------------------------------------------------------- layout

LayoutNode MainSettingsWindow::layout() {
    const auto& profile = app().profile();
    const auto programFile = profile.executableSuffix.empty() ? std::string("THE PROGRAM")
                                                              : "\"" + profile.executableSuffix + "\"";
    return column({
        label(
            "FOR MULTIPLE CONFIGURATIONS, COPY " + programFile +
            " FILE TO A NEW FILENAME, RUN, AND CONFIGURE... !!! USE FILE / FOLDER NAMES WITHOUT SPACES !!!"),
        group("PACEDECK - HOME FOLDER:",
              {row({sized(PACEDECK_HOME_TEXTBOX, 48), BROWSE_FOLDER_BUTTON, USE_DEFAULT_BUTTON,
                    USE_CURRENT_BUTTON}),
               row({label("Default = " + profile.defaultHome), stretch(), CREATE_FOLDERS_BUTTON})}),
        group("CRYPTO \".CONF\" FILE", {USE_OWN_CONF_TICKBOX, CONF_FILE_LOCATION_LABEL,
                                        row({sized(CONF_FILE_LOCATION_TEXTBOX, 72), CONF_BROWSE_BUTTON})}),
        row({column({label("Run KITT \"Num-Lock HeartBeat\" Every:")}),
             column({sized(HEARTBEAT_COUNTDOWN_TIME_TEXTBOX, 10), label("Hours   Mins   Secs")}), stretch(),
             column({AUTOLOAD_BLOCKCOUNT_FILE_TICKBOX, TRAY_NOTIFY_TICKBOX})}),
        row({CRYPTO_SETTINGS_BUTTON, SE_SETTINGS_BUTTON, CONF_MANAGER_BUTTON}),
        row({VIEW_OUTPUT_COMMANDS_BUTTON, REPORTS_LOGS_BUTTON, POWER_AUTOTIMER_BUTTON, SCHEDULER_BUTTON}),
        stretch(),
        labelled("STATUS:", MESSAGE_STATUS_TEXTBOX, 60),
        row({stretch(), defaultButton(OK_BUTTON), CANCEL_BUTTON}),
    });
}

const TextBox& settingsHomeFolder(App& app) {
    if (auto* settings = app.find<MainSettingsWindow>()) return settings->PACEDECK_HOME_TEXTBOX;
    return mainWindow(app).PACEDECK_HOME_TEXTBOX;
}

}  // namespace pd
