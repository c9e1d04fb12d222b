#include "settings/EmailSettingsWindow.hpp"

#include "core/App.hpp"
#include "core/OneLine.hpp"
#include "core/TextFile.hpp"
#include "main/MainWindow.hpp"
#include "settings/EmailSharedSettingsWindow.hpp"
#include "settings/MailerCommands.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "tools/SingleOutputCommandsWindow.hpp"

namespace pd {

EmailSettingsWindow::EmailSettingsWindow(App& app)
    : EmailAccountWindow(app, "PACEDECK_EMAIL_MAIN_SETTINGS", "PACEDECK - EMAIL MAIN SETTINGS") {
    VIEW_OUTPUT_COMMANDS_BUTTON.onClick = [this] { this->app().open<SingleOutputCommandsWindow>(this); };
    SHARED_SETTINGS_BUTTON.onClick = [this] { this->app().open<EmailSharedSettingsWindow>(this); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
    REGENERATE_COMMANDS_TIMER.onTick = [this] { regenerate(); };
}

LayoutNode EmailSettingsWindow::layout() {
    // The heading tells this window from the shared one, which looks alike.
    return column({
        group("EMAIL SETTINGS OF THIS COPY (" + app().exe() + ") - ITS START AND END REPORT E-MAILS",
              {accountLayout(), REPORT_AS_ATTACHMENT_TICKBOX}),
        stretch(),
        row({SHARED_SETTINGS_BUTTON, VIEW_OUTPUT_COMMANDS_BUTTON, stretch(), defaultButton(OK_BUTTON),
             CANCEL_BUTTON}),
    });
}

void EmailSettingsWindow::load() {
    restoreGeometry();
    loadAccount(app().exe());
    loadText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    loadText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    loadTick(REPORT_AS_ATTACHMENT_TICKBOX);
    syncCheck_ = tickValue(setting("SYNC_CHECK_TICKBOX", "1"), 1) == 1;
    MESSAGE_COMMAND_TB.setText("");
    ATTACHMENT_COMMAND_TB.setText("");
    REGENERATE_COMMANDS_TIMER.setInterval(500);
    REGENERATE_COMMANDS_TIMER.start();
}

void EmailSettingsWindow::unload() {
    if (!positionStored_) storePosition();
}

// The scripts, and the report and log files their commands name, go under the home folder
// being edited in the main settings window.
std::string EmailSettingsWindow::homeFolder() const {
    return settingsHomeFolder(app()).text();
}

void EmailSettingsWindow::regenerate() {
    // Only OK hands the commands to the main window, which keeps them at exit: a
    // cancelled edit, password included, must not reach the store that way.
    const auto& main = mainWindow(app());
    MailerValues v;
    v.mailerHome = SE_HOME_TEXTBOX.text();
    v.from = SEND_FROM_ADDRESS_TEXTBOX.text();
    v.to = SEND_TO_ADDRESS_TEXTBOX.text();
    v.cc = SEND_CC_ADDRESS_TEXTBOX.text();
    v.bcc = SEND_BCC_ADDRESS_TEXTBOX.text();
    v.server = SMTP_SERVER_ADDRESS_PORT_TEXTBOX.text();
    v.username = SMTP_USERNAME_TEXTBOX.text();
    v.password = SMTP_PASSWORD_TEXTBOX.text();
    v.tls = TLS_TB_SETTING.text();
    v.attachReport = REPORT_AS_ATTACHMENT_TICKBOX.ticked();
    v.attachChart = syncCheck_;
    v.crypto = main.CRYPTO_NAME_TEXTBOX.text();
    v.home = homeFolder();
    v.exe = app().exe();
    auto c = buildMailerCommands(app().profile(), v);
    START_EMAIL_SUBJECT_TEXTBOX.setText(c.startSubject);
    END_EMAIL_SUBJECT_TEXTBOX.setText(c.endSubject);
    MESSAGE_COMMAND_TB.setText(c.messageOption);
    ATTACHMENT_COMMAND_TB.setText(c.attachmentOption);
    EMAIL_OUTPUT_START_COMMAND_TEXTBOX.setText(c.startCommand);
    EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(c.endCommand);
    EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX.setText(c.alertCommand);
}

void EmailSettingsWindow::okClicked() {
    // What OK keeps is what the fields say now, not what the last half-second tick built.
    regenerate();
    SettingsStore::Batch batch(app().store());
    storePosition();
    positionStored_ = true;
    for (auto* field : accountFields()) storeText(*field);
    storeTick(TLS_NO_TICKBOX);
    storeTick(TLS_YES_TICKBOX);
    storeTick(TLS_AUTO_TICKBOX);
    storeText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    storeText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    storeTick(REPORT_AS_ATTACHMENT_TICKBOX);

    auto& main = mainWindow(app());
    main.SE_HOME_TEXTBOX.setText(SE_HOME_TEXTBOX.text());
    main.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.setText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text());
    main.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text());

    // The scripts hold the password: readable by the user alone.
    const auto& profile = app().profile();
    std::string failures;
    const HomeLayout files(profile, homeFolder(), app().exe());
    auto write = [&](Script script, const std::string& command) {
        auto path = files.script(script);
        auto fault = oneLineFault(command);
        // In the code page cmd reads, as the node scripts: a password with an "é" reaches the mailer whole.
        auto outcome = fault.empty() ? writeTextFile(app().platform(), profile, path,
                                                     command + profile.lineEnd, true, true)
                                     : Outcome::failure("the command was not written: " + fault);
        if (!outcome) failures += path + " - " + outcome.error + "\n";
    };
    write(Script::StartEmail, EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text());
    write(Script::EndReportEmail, EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text());
    write(Script::StuckAlertEmail, EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX.text());
    if (!failures.empty())
        app().dialogs().message(
            *this, "PACEDECK - EMAIL SCRIPTS NOT WRITTEN",
            "The settings are saved, but the e-mail scripts could not be written:\n" + failures +
                "Create the folders (main settings, CREATE FOLDERS) and save the e-mail settings again.");
    close();
    app().commitSettings(batch, className());
}

}  // namespace pd
