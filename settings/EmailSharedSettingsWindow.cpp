#include "settings/EmailSharedSettingsWindow.hpp"

#include "core/App.hpp"

namespace pd {

EmailSharedSettingsWindow::EmailSharedSettingsWindow(App& app)
    : Window(app, "PACEDECK_EMAIL_SHARED_SETTINGS", "PACEDECK - EMAIL SHARED SETTINGS"),
      tls_(TLS_NO_TICKBOX, TLS_YES_TICKBOX, TLS_AUTO_TICKBOX, [](std::string_view) {}) {
    USE_BUTTON.onClick = [this] { SE_HOME_TEXTBOX.setText(this->app().profile().mailerFolder); };
    BROWSE_SE_HOME_FOLDER_BUTTON.onClick = [this] { browseMailerFolder(*this, SE_HOME_TEXTBOX); };
    SHOW_PASSWORD_TICKBOX.onChange = [this] {
        SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
    };
    USE_THESE_SHARED_SETTINGS_BUTTON.onClick = [this] { useTheseClicked(); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

std::array<TextBox*, 8> EmailSharedSettingsWindow::accountFields() {
    return {&SE_HOME_TEXTBOX,         &SMTP_SERVER_ADDRESS_PORT_TEXTBOX, &SMTP_USERNAME_TEXTBOX,
            &SMTP_PASSWORD_TEXTBOX,   &SEND_FROM_ADDRESS_TEXTBOX,        &SEND_TO_ADDRESS_TEXTBOX,
            &SEND_CC_ADDRESS_TEXTBOX, &SEND_BCC_ADDRESS_TEXTBOX};
}

LayoutNode EmailSharedSettingsWindow::layout() {
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
        row({USE_THESE_SHARED_SETTINGS_BUTTON, stretch(), OK_BUTTON, CANCEL_BUTTON}),
    });
}

std::string EmailSharedSettingsWindow::sharedSetting(std::string_view key) const {
    return app().store().read(SettingsStore::sharedEmailSection, key, catalogue::defaultOf(key));
}

void EmailSharedSettingsWindow::load() {
    restoreGeometry();
    for (auto* field : accountFields()) field->setText(sharedSetting(field->name()));
    auto tick = [this](std::string_view key) {
        return tickValue(sharedSetting(key), tickValue(catalogue::defaultOf(key), 0));
    };
    tls_.load(tick("TLS_NO_TICKBOX"), tick("TLS_YES_TICKBOX"), tick("TLS_AUTO_TICKBOX"));
    SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
}

void EmailSharedSettingsWindow::unload() {
    if (!positionStored_) storePosition();
}

void EmailSharedSettingsWindow::useTheseClicked() {
    auto* target = app().find<EmailSettingsWindow>();
    if (!target) return;
    auto from = accountFields();
    auto to = target->accountFields();
    for (std::size_t i = 0; i < from.size(); ++i) to[i]->setText(from[i]->text());
    // Each change runs the e-mail settings window's TLS rules as a click would.
    target->TLS_NO_TICKBOX.setValue(TLS_NO_TICKBOX.value());
    target->TLS_YES_TICKBOX.setValue(TLS_YES_TICKBOX.value());
    target->TLS_AUTO_TICKBOX.setValue(TLS_AUTO_TICKBOX.value());
}

void EmailSharedSettingsWindow::okClicked() {
    storePosition();
    positionStored_ = true;
    const auto section = SettingsStore::sharedEmailSection;
    for (auto* field : accountFields()) app().writeSetting(section, field->name(), field->text());
    for (auto* box : {&TLS_NO_TICKBOX, &TLS_YES_TICKBOX, &TLS_AUTO_TICKBOX})
        app().writeSetting(section, box->name(), std::to_string(box->value()));
    close();
}

}  // namespace pd
