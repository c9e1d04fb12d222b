#include "settings/CryptoSettingsWindow.hpp"

#include "core/App.hpp"
#include "core/FileSave.hpp"
#include "core/OneLine.hpp"
#include "core/TimeOfDay.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "settings/NodeCommands.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd {

CryptoSettingsWindow::CryptoSettingsWindow(App& app)
    : Window(app, "PACEDECK_CRYPTO_SETTINGS", "PACEDECK - CRYPTO SETTINGS") {
    VIEW_OUTPUT_COMMANDS_BUTTON.onClick = [this] { this->app().open<SingleOutputCommandsWindow>(this); };
    const auto& p = app.profile();
    USE_QT_FOLDER_BUTTON.onClick = [this, &p] { QT_LOCATION_TEXTBOX.setText(p.useQtFolder); };
    USE_QT_FILE_BUTTON.onClick = [this, &p] { QT_NAME_TEXTBOX.setText(p.useQtFile); };
    USE_DAEMON_FOLDER_BUTTON.onClick = [this, &p] { DAEMON_CLI_LOCATION_TEXTBOX.setText(p.useDaemonFolder); };
    USE_DAEMOND_FILE_BUTTON.onClick = [this, &p] { DAEMOND_NAME_TEXTBOX.setText(p.useDaemondFile); };
    USE_DAEMONCLI_FILE_BUTTON.onClick = [this, &p] {
        DAEMONCLI_NAME_SETTINGS_TEXTBOX.setText(p.useDaemonCliFile);
    };

    BROWSE_BLOCKCHAIN_FOLDER_BUTTON.onClick = [this] {
        browseFolder(BLOCKCHAIN_HOME_TEXTBOX, "BLOCKCHAIN HOME FOLDER");
    };
    BROWSE_QT_FOLDER_BUTTON.onClick = [this] { browseFolder(QT_LOCATION_TEXTBOX, "QT - Program folder"); };
    BROWSE_DAEMON_FOLDER_BUTTON.onClick = [this] {
        browseFolder(DAEMON_CLI_LOCATION_TEXTBOX, "DAEMON - Program Folder");
    };
    const auto suffix = p.executableSuffix;
    BROWSE_QT_FILE_BUTTON.onClick = [this, suffix] {
        browseFile(QT_NAME_TEXTBOX, QT_LOCATION_TEXTBOX, "Select QT" + suffix + " File");
    };
    BROWSE_DAEMOND_FILE_BUTTON.onClick = [this, suffix] {
        browseFile(DAEMOND_NAME_TEXTBOX, DAEMON_CLI_LOCATION_TEXTBOX, "Select DAEMOND" + suffix + " File");
    };
    BROWSE_DAEMON_CLI_FILE_BUTTON.onClick = [this, suffix] {
        browseFile(DAEMONCLI_NAME_SETTINGS_TEXTBOX, DAEMON_CLI_LOCATION_TEXTBOX,
                   "Select DAEMON-CLI" + suffix + " File");
    };

    for (const auto& rule : options_) {
        rule.enabling.onChange = [this, &rule] { enablingClicked(rule); };
        rule.disabled.onChange = [this, &rule] { disabledClicked(rule); };
    }

    REGENERATE_COMMANDS_TIMER.onTick = [this] { regenerate(); };
    SAVE_BUTTON.onClick = [this] { saveClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

// ---------------------------------------------------------------- opening

void CryptoSettingsWindow::load() {
    restoreGeometry();
    REGENERATE_COMMANDS_TIMER.setInterval(1000);
    REGENERATE_COMMANDS_TIMER.start();
    for (auto* field :
         {&CRYPTO_NAME_TEXTBOX, &BLOCKCHAIN_HOME_TEXTBOX, &QT_LOCATION_TEXTBOX, &QT_NAME_TEXTBOX,
          &DAEMON_CLI_LOCATION_TEXTBOX, &DAEMOND_NAME_TEXTBOX, &DAEMONCLI_NAME_SETTINGS_TEXTBOX})
        loadText(*field);
    for (const auto& rule : options_) {
        loadTick(rule.enabling);
        loadTick(rule.disabled);
    }
    CONF_FILE_LOCATION_TEXTBOX.setText(settingsConf().text());
    for (const auto& rule : options_) applyLoadedOptions(rule);
    loadTick(SYNC_CHECK_TICKBOX);
    loadText(STALL_LIMIT_TEXTBOX);
}

// ---------------------------------------------------------------- option rules

void CryptoSettingsWindow::enablingClicked(const OptionRule& r) {
    if (r.enabling.ticked()) {
        r.option.setText(r.whenEnabled);
        r.disabled.setEnabled(true);
    } else {
        r.disabled.setValue(0);
        r.option.setText("");
        r.disabled.setEnabled(false);
    }
}

void CryptoSettingsWindow::disabledClicked(const OptionRule& r) {
    const bool disabled = r.disabled.ticked();
    r.option.setText(disabled ? r.whenDisabled : r.whenEnabled);
    r.enabling.setEnabled(!disabled);
}

void CryptoSettingsWindow::applyLoadedOptions(const OptionRule& r) {
    if (!r.enabling.ticked()) {
        // A "Disabled" without its enabling tick cannot stand.
        r.disabled.setValue(0);
        r.option.setText("");
        r.disabled.setEnabled(false);
        r.enabling.setEnabled(true);
        return;
    }
    r.disabled.setEnabled(true);
    r.enabling.setEnabled(!r.disabled.ticked());
    r.option.setText(r.disabled.ticked() ? r.whenDisabled : r.whenEnabled);
}

// ---------------------------------------------------------------- regeneration

void CryptoSettingsWindow::regenerate() {
    NodeCommandFields f;
    f.qtFolder = QT_LOCATION_TEXTBOX.text();
    f.qtName = QT_NAME_TEXTBOX.text();
    f.daemonFolder = DAEMON_CLI_LOCATION_TEXTBOX.text();
    f.daemonName = DAEMOND_NAME_TEXTBOX.text();
    f.cliName = DAEMONCLI_NAME_SETTINGS_TEXTBOX.text();
    f.chainFolder = BLOCKCHAIN_HOME_TEXTBOX.text();
    f.conf = CONF_FILE_LOCATION_TEXTBOX.text();
    // Every file the commands name lies under the home folder being edited, where Save
    // writes the scripts: a home the main window has not taken yet is the one it will run with.
    f.home = settingsHome().text();
    f.exe = app().exe();
    f.qtOption = QT_DASH_DISABLE_WALLET_EQUALS_TEXTBOX.text();
    f.daemonOption = DAEMON_DASH_DISABLE_WALLET_EQUALS_TEXTBOX.text();
    f.cliOption = DASH_DISABLE_DAEMON_EQUALS_TEXTBOX.text();
    auto c = buildNodeCommands(app().profile(), f);
    SW_QT_COMMAND_TEXTBOX.setText(c.qt);
    SW_D_COMMAND_TEXTBOX.setText(c.daemon);
    SWCLI_STOP_COMMAND_TEXTBOX.setText(c.cliStop);
    GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.setText(c.blockcount);
    GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX.setText(c.chainInfo);
    GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX.setText(c.peerCount);
}

// ---------------------------------------------------------------- dialogs

void CryptoSettingsWindow::browseFolder(TextBox& field, const std::string& title) {
    // A cancelled browser leaves the field as it was.
    if (auto folder = app().dialogs().browseFolder(*this, title, field.text())) field.setText(*folder);
}

void CryptoSettingsWindow::browseFile(TextBox& nameField, const TextBox& folderField,
                                      const std::string& title) {
    const auto& p = app().profile();
    const auto filter = p.executableSuffix.empty() ? std::string("All files (*)|*")
                                                   : "Applications (*" + p.executableSuffix + ")|*" +
                                                         p.executableSuffix + "|All files (*.*)|*.*";
    const auto extension = p.executableSuffix.empty() ? std::string() : p.executableSuffix.substr(1);
    auto file = app().dialogs().openFile(*this, title, filter, extension, folderField.text());
    if (!file) return;  // cancelled: the name stays
    // Only the name: the program is still run from the folder in the folder field.
    const std::string separators = p.separator == '/' ? "/" : std::string("/") + p.separator;
    auto cut = file->find_last_of(separators);
    nameField.setText(cut == std::string::npos ? *file : file->substr(cut + 1));
}

// ---------------------------------------------------------------- Save and closing

void CryptoSettingsWindow::saveClicked() {
    // Every field ends up inside a command line: a line break or NUL is refused here,
    // before anything is kept.
    for (auto* field :
         {&CRYPTO_NAME_TEXTBOX, &BLOCKCHAIN_HOME_TEXTBOX, &QT_LOCATION_TEXTBOX, &QT_NAME_TEXTBOX,
          &DAEMON_CLI_LOCATION_TEXTBOX, &DAEMONCLI_NAME_SETTINGS_TEXTBOX, &DAEMOND_NAME_TEXTBOX})
        if (auto fault = oneLineFault(field->text()); !fault.empty()) {
            app().dialogs().message(
                *this, caption(), "!!! NOT SAVED - " + field->name() + " CANNOT BE USED: " + fault + " !!!");
            return;
        }
    if (!TimeOfDay::parse(STALL_LIMIT_TEXTBOX.text())) {
        app().dialogs().message(
            *this, caption(),
            "!!! NOT SAVED - STALL_LIMIT_TEXTBOX CANNOT BE USED: NOT A TIME (HH:MM:SS) !!!");
        return;
    }
    auto& main = mainWindow(app());
    REGENERATE_COMMANDS_TIMER.stop();
    main.CRYPTO_NAME_TEXTBOX.setText(CRYPTO_NAME_TEXTBOX.text());
    // The fields, the commands and the scripts of one Save land together or not at all.
    SettingsStore::Batch batch(app().store());
    for (auto* field :
         {&CRYPTO_NAME_TEXTBOX, &BLOCKCHAIN_HOME_TEXTBOX, &QT_LOCATION_TEXTBOX, &QT_NAME_TEXTBOX,
          &DAEMON_CLI_LOCATION_TEXTBOX, &DAEMONCLI_NAME_SETTINGS_TEXTBOX, &DAEMOND_NAME_TEXTBOX})
        storeText(*field);
    for (const auto& rule : options_) {
        storeTick(rule.enabling);
        storeTick(rule.disabled);
    }
    storeTick(SYNC_CHECK_TICKBOX);
    storeText(STALL_LIMIT_TEXTBOX);
    main.SYNC_CHECK_TICKBOX.setValue(SYNC_CHECK_TICKBOX.value());
    main.STALL_LIMIT_TEXTBOX.setText(STALL_LIMIT_TEXTBOX.text());
    main.CRYPTO_NAME_TEXTBOX.setText(CRYPTO_NAME_TEXTBOX.text());
    main.QT_NAME_TEXTBOX.setText(QT_NAME_TEXTBOX.text());
    main.DAEMON_NAME_TEXTBOX.setText(DAEMOND_NAME_TEXTBOX.text());
    main.CLI_NAME_TEXTBOX.setText(DAEMONCLI_NAME_SETTINGS_TEXTBOX.text());
    // The stored commands, the scripts and the main window's commands must agree: when a
    // script cannot be written, the commands of the last good Save stay everywhere.
    FileSave scripts(app(), settingsHome().text());
    const bool staged = stageScripts(scripts);
    scripts.keep();
    if (!app().commitSettings(batch, "the crypto settings")) {
        app().dialogs().message(*this, caption(), "!!! NOT SAVED - THE SETTINGS STORE DID NOT KEEP THEM !!!");
    } else if (staged) {
        if (auto placed = scripts.place(); !placed) scriptsNotWritten(placed.error);
        main.SW_QT_COMMAND_TEXTBOX.setText(SW_QT_COMMAND_TEXTBOX.text());
        main.SW_D_COMMAND_TEXTBOX.setText(SW_D_COMMAND_TEXTBOX.text());
        main.SWCLI_STOP_COMMAND_TEXTBOX.setText(SWCLI_STOP_COMMAND_TEXTBOX.text());
        main.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.setText(GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX.text());
        main.GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX.setText(
            GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX.text());
        main.GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX.setText(
            GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX.text());
        CANCEL_BUTTON.setText("Close");
    }
    REGENERATE_COMMANDS_TIMER.start();
}

bool CryptoSettingsWindow::stageScripts(FileSave& scripts) {
    const std::array<const TextBox*, nodeScripts.size()> commands = {
        &SW_QT_COMMAND_TEXTBOX,
        &SW_D_COMMAND_TEXTBOX,
        &SWCLI_STOP_COMMAND_TEXTBOX,
        &GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX,
        &GETBLOCKCHAININFO_COMMAND_SETTINGS_TEXTBOX,
        &GETCONNECTIONCOUNT_COMMAND_SETTINGS_TEXTBOX};
    for (std::size_t i = 0; i < nodeScripts.size(); ++i)
        if (auto staged = scripts.stage(savedFile(nodeScripts[i]), commands[i]->text()); !staged) {
            scripts.drop();
            scriptsNotWritten(staged.error);
            return false;
        }
    return true;
}

void CryptoSettingsWindow::scriptsNotWritten(const std::string& why) {
    app().dialogs().message(*this, caption(),
                            "!!! NODE SCRIPTS NOT WRITTEN - " + why +
                                " - USE \"CREATE FOLDERS / GBC LOG\" IN MAIN SETTINGS, THEN SAVE AGAIN !!!");
}

void CryptoSettingsWindow::unload() {
    storePosition();
}

const TextBox& CryptoSettingsWindow::settingsHome() const {
    if (auto* settings = dynamic_cast<MainSettingsWindow*>(owner())) return settings->PACEDECK_HOME_TEXTBOX;
    return settingsHomeFolder(app());
}

const TextBox& CryptoSettingsWindow::settingsConf() const {
    if (auto* settings = dynamic_cast<MainSettingsWindow*>(owner()))
        return settings->CONF_FILE_LOCATION_TEXTBOX;
    if (auto* settings = app().find<MainSettingsWindow>()) return settings->CONF_FILE_LOCATION_TEXTBOX;
    return mainWindow(app()).CONF_FILE_LOCATION_TEXTBOX;
}

// ---------------------------------------------------------------- layout

LayoutNode CryptoSettingsWindow::layout() {
    const auto& p = app().profile();
    const auto& x = p.executableSuffix;
    return column({
        labelled("CRYPTO NAME:", CRYPTO_NAME_TEXTBOX, 30),
        group("CRYPTO BLOCKCHAIN - HOME FOLDER:",
              {row({sized(BLOCKCHAIN_HOME_TEXTBOX, 60), BROWSE_BLOCKCHAIN_FOLDER_BUTTON})}),
        group("QT - Folder - eg " + p.useQtFolder,
              {row({sized(QT_LOCATION_TEXTBOX, 60), USE_QT_FOLDER_BUTTON, BROWSE_QT_FOLDER_BUTTON})}),
        group("QT" + x + " - File - eg " + p.useQtFile,
              {row({sized(QT_NAME_TEXTBOX, 40), USE_QT_FILE_BUTTON, BROWSE_QT_FILE_BUTTON, QT_WALLET_TICKBOX,
                    QT_DISABLE_WALLET_TICKBOX})}),
        group("DAEMOND" + x + " && DAEMON-CLI" + x + " - Folder - eg " + p.useDaemonFolder,
              {row({sized(DAEMON_CLI_LOCATION_TEXTBOX, 60), USE_DAEMON_FOLDER_BUTTON,
                    BROWSE_DAEMON_FOLDER_BUTTON})}),
        group("DAEMOND" + x + " - File - eg " + p.useDaemondFile,
              {row({sized(DAEMOND_NAME_TEXTBOX, 40), USE_DAEMOND_FILE_BUTTON, BROWSE_DAEMOND_FILE_BUTTON,
                    DAEMON_WALLET_TICKBOX, DAEMON_DISABLE_WALLET_TICKBOX})}),
        group("DAEMON-CLI" + x + " - File - eg " + p.useDaemonCliFile,
              {row({sized(DAEMONCLI_NAME_SETTINGS_TEXTBOX, 40), USE_DAEMONCLI_FILE_BUTTON,
                    BROWSE_DAEMON_CLI_FILE_BUTTON, CLI_DAEMON_TICKBOX, DISABLE_DAEMON_TICKBOX})}),
        row({SYNC_CHECK_TICKBOX, labelled("STALL LIMIT", STALL_LIMIT_TEXTBOX, 10), label("hh:mm:ss"),
             stretch()}),
        stretch(),
        row({VIEW_OUTPUT_COMMANDS_BUTTON, stretch(), defaultButton(SAVE_BUTTON), CANCEL_BUTTON}),
    });
}

}  // namespace pd
