#include "settings/EmailSettingsWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "settings/EmailSharedSettingsWindow.hpp"
#include "settings/MailerCommands.hpp"

namespace pd {

// ---------------------------------------------------------------- TLS rules

TlsRules::TlsRules(TickBox& no, TickBox& yes, TickBox& autoTls, std::function<void(std::string_view)> choose)
    : no_(no), yes_(yes), auto_(autoTls), choose_(std::move(choose)) {
    for (auto* box : {&no_, &yes_, &auto_}) box->onChange = [this, box] { clicked(*box); };
}

void TlsRules::load(int no, int yes, int autoTls) {
    busy_ = true;
    no_.setValue(no);
    yes_.setValue(yes);
    auto_.setValue(autoTls);
    busy_ = false;
    // Should several be ticked (a store edited by hand), the first one counts.
    for (auto* box : {&no_, &yes_, &auto_})
        if (box->ticked()) return show(box, false);
    show(nullptr, true);
}

void TlsRules::clicked(TickBox& which) {
    if (busy_) return;
    if (which.ticked()) return show(&which, false);
    // Clearing "no" leaves nothing ticked; leaving "yes" or "auto" falls back to "no".
    if (&which == &no_) return show(nullptr, true);
    show(&no_, false);
}

void TlsRules::show(TickBox* ticked, bool othersUsable) {
    busy_ = true;
    for (auto* box : {&no_, &yes_, &auto_}) {
        if (box == ticked) continue;
        box->setValue(0);
        box->setEnabled(othersUsable);
    }
    if (ticked) {
        ticked->setValue(1);
        ticked->setEnabled(true);
    }
    busy_ = false;
    choose_(ticked ? std::string_view(ticked->text()) : std::string_view("no"));
}

// ---------------------------------------------------------------- the window

EmailSettingsWindow::EmailSettingsWindow(App& app)
    : Window(app, "PACEDECK_EMAIL_MAIN_SETTINGS", "PACEDECK - EMAIL MAIN SETTINGS"),
      tls_(TLS_NO_TICKBOX, TLS_YES_TICKBOX, TLS_AUTO_TICKBOX,
           [this](std::string_view word) { TLS_TB_SETTING.setText(word); }) {
    USE_BUTTON.onClick = [this] { useClicked(); };
    BROWSE_SE_HOME_FOLDER_BUTTON.onClick = [this] { browseClicked(); };
    SHOW_PASSWORD_TICKBOX.onChange = [this] {
        SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
    };
    SHARED_SETTINGS_BUTTON.onClick = [this] { this->app().open<EmailSharedSettingsWindow>(this); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
    REGENERATE_COMMANDS_TIMER.onTick = [this] { regenerate(); };
}

std::array<TextBox*, 8> EmailSettingsWindow::accountFields() {
    return {&SE_HOME_TEXTBOX,         &SMTP_SERVER_ADDRESS_PORT_TEXTBOX, &SMTP_USERNAME_TEXTBOX,
            &SMTP_PASSWORD_TEXTBOX,   &SEND_FROM_ADDRESS_TEXTBOX,        &SEND_TO_ADDRESS_TEXTBOX,
            &SEND_CC_ADDRESS_TEXTBOX, &SEND_BCC_ADDRESS_TEXTBOX};
}

LayoutNode EmailSettingsWindow::layout() {
    const auto& p = app().profile();
    return column({
        label("\"" + p.mailerFile + "\" HOME - eg - " + p.mailerFolder),
        row({sized(SE_HOME_TEXTBOX, 50), USE_BUTTON, BROWSE_SE_HOME_FOLDER_BUTTON}),
        label("SMTP SERVER:PORT - e.g. IP:25 or FQDN:25"),
        sized(SMTP_SERVER_ADDRESS_PORT_TEXTBOX, 50),
        row({labelled("SMTP Username", SMTP_USERNAME_TEXTBOX, 24),
             labelled("Password", SMTP_PASSWORD_TEXTBOX, 20), SHOW_PASSWORD_TICKBOX}),
        row({column({labelled("From", SEND_FROM_ADDRESS_TEXTBOX, 36),
                     labelled("To", SEND_TO_ADDRESS_TEXTBOX, 36), labelled("Cc", SEND_CC_ADDRESS_TEXTBOX, 36),
                     labelled("Bcc", SEND_BCC_ADDRESS_TEXTBOX, 36)}),
             group("TLS", {TLS_NO_TICKBOX, TLS_YES_TICKBOX, TLS_AUTO_TICKBOX})}),
        REPORT_AS_ATTACHMENT_TICKBOX,
        row({SHARED_SETTINGS_BUTTON, VIEW_OUTPUT_COMMANDS_BUTTON, stretch(), OK_BUTTON, CANCEL_BUTTON}),
    });
}

void EmailSettingsWindow::load() {
    restoreGeometry();
    for (auto* field : accountFields()) loadText(*field);
    auto tick = [this](std::string_view key) {
        return tickValue(setting(key), tickValue(catalogue::defaultOf(key), 0));
    };
    tls_.load(tick("TLS_NO_TICKBOX"), tick("TLS_YES_TICKBOX"), tick("TLS_AUTO_TICKBOX"));
    loadText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    loadText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    loadTick(REPORT_AS_ATTACHMENT_TICKBOX);

    MESSAGE_COMMAND_TB.setText("");
    ATTACHMENT_COMMAND_TB.setText("");
    REGENERATE_COMMANDS_TIMER.setInterval(500);
    REGENERATE_COMMANDS_TIMER.start();

    SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
}

void EmailSettingsWindow::unload() {
    if (!positionStored_) storePosition();
}

void EmailSettingsWindow::useClicked() {
    SE_HOME_TEXTBOX.setText(app().profile().mailerFolder);
}

void EmailSettingsWindow::browseClicked() {
    browseMailerFolder(*this, SE_HOME_TEXTBOX);
}

void browseMailerFolder(Window& owner, TextBox& field) {
    auto chosen = owner.app().dialogs().browseFolder(
        owner, "HOME FOLDER - " + owner.app().profile().mailerFile, field.text());
    if (chosen) field.setText(*chosen);
}

std::string EmailSettingsWindow::homeFolder() const {
    return app().main().PACEDECK_HOME_TEXTBOX.text();
}

void EmailSettingsWindow::regenerate() {
    auto& main = app().main();
    main.SE_HOME_TEXTBOX.setText(SE_HOME_TEXTBOX.text());
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
    v.crypto = main.CRYPTO_NAME_TEXTBOX.text();
    v.home = main.PACEDECK_HOME_TEXTBOX.text();
    v.exe = app().exe();
    auto c = buildMailerCommands(app().profile(), v);
    START_EMAIL_SUBJECT_TEXTBOX.setText(c.startSubject);
    END_EMAIL_SUBJECT_TEXTBOX.setText(c.endSubject);
    MESSAGE_COMMAND_TB.setText(c.messageOption);
    ATTACHMENT_COMMAND_TB.setText(c.attachmentOption);
    EMAIL_OUTPUT_START_COMMAND_TEXTBOX.setText(c.startCommand);
    EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(c.endCommand);
    main.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.setText(c.startCommand);
    main.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(c.endCommand);
}

void EmailSettingsWindow::okClicked() {
    // What OK keeps is what the fields say now, not what the last half-second tick built.
    regenerate();
    storePosition();
    positionStored_ = true;
    for (auto* field : accountFields()) storeText(*field);
    storeTick(TLS_NO_TICKBOX);
    storeTick(TLS_YES_TICKBOX);
    storeTick(TLS_AUTO_TICKBOX);
    storeText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX);
    storeText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX);
    storeTick(REPORT_AS_ATTACHMENT_TICKBOX);

    auto& main = app().main();
    main.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.setText(EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text());
    main.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text());

    // The scripts hold the password: readable by the user alone.
    const auto& profile = app().profile();
    std::string failures;
    auto write = [&](std::string_view stem, const std::string& command) {
        auto path = profile.scriptPath(homeFolder(), app().exe(), stem);
        auto outcome = app().platform().writeFile(path, command + profile.lineEnd, true, true);
        if (!outcome) failures += path + " - " + outcome.error + "\n";
    };
    write("-START-EMAIL", EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text());
    write("-END-REPORT-EMAIL", EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text());
    if (!failures.empty())
        app().dialogs().message(
            *this, "PACEDECK - EMAIL SCRIPTS NOT WRITTEN",
            "The settings are saved, but the e-mail scripts could not be written:\n" + failures +
                "Create the folders (main settings, CREATE FOLDERS) and save the e-mail settings again.");
    close();
}

}  // namespace pd
