#include "settings/EmailAccountWindow.hpp"

#include "core/App.hpp"

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

// ---------------------------------------------------------------- the shared part of both windows

EmailAccountWindow::EmailAccountWindow(App& app, std::string_view className, std::string caption)
    : Window(app, className, std::move(caption)),
      tls_(TLS_NO_TICKBOX, TLS_YES_TICKBOX, TLS_AUTO_TICKBOX,
           [this](std::string_view word) { tlsChosen(word); }) {
    USE_BUTTON.onClick = [this] { SE_HOME_TEXTBOX.setText(this->app().profile().mailerFolder); };
    BROWSE_SE_HOME_FOLDER_BUTTON.onClick = [this] {
        auto chosen = this->app().dialogs().browseFolder(
            *this, "HOME FOLDER - " + this->app().profile().mailerFile, SE_HOME_TEXTBOX.text());
        if (chosen) SE_HOME_TEXTBOX.setText(*chosen);
    };
    SHOW_PASSWORD_TICKBOX.onChange = [this] {
        SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
    };
}

std::array<TextBox*, 8> EmailAccountWindow::accountFields() {
    return {&SE_HOME_TEXTBOX,         &SMTP_SERVER_ADDRESS_PORT_TEXTBOX, &SMTP_USERNAME_TEXTBOX,
            &SMTP_PASSWORD_TEXTBOX,   &SEND_FROM_ADDRESS_TEXTBOX,        &SEND_TO_ADDRESS_TEXTBOX,
            &SEND_CC_ADDRESS_TEXTBOX, &SEND_BCC_ADDRESS_TEXTBOX};
}

LayoutNode EmailAccountWindow::accountLayout() {
    const auto& p = app().profile();
    return column({
        label("\"" + p.mailerFile + "\" HOME - eg - " + p.mailerFolder),
        row({sized(SE_HOME_TEXTBOX, 50), USE_BUTTON, BROWSE_SE_HOME_FOLDER_BUTTON}),
        label("SMTP SERVER:PORT - e.g. IP:25 or FQDN:25"),
        sized(SMTP_SERVER_ADDRESS_PORT_TEXTBOX, 50),
        // The account and the addresses as a form, their captions in one column.
        row({grid({
                 row({label("SMTP Username"), sized(SMTP_USERNAME_TEXTBOX, 40)}),
                 row({label("Password"), row({sized(SMTP_PASSWORD_TEXTBOX, 24), SHOW_PASSWORD_TICKBOX})}),
                 row({label("From"), sized(SEND_FROM_ADDRESS_TEXTBOX, 40)}),
                 row({label("To"), sized(SEND_TO_ADDRESS_TEXTBOX, 40)}),
                 row({label("Cc"), sized(SEND_CC_ADDRESS_TEXTBOX, 40)}),
                 row({label("Bcc"), sized(SEND_BCC_ADDRESS_TEXTBOX, 40)}),
             }),
             column({group("TLS", {TLS_NO_TICKBOX, TLS_YES_TICKBOX, TLS_AUTO_TICKBOX}), stretch()}),
             stretch()}),
    });
}

void EmailAccountWindow::loadAccount(std::string_view section) {
    auto read = [&](std::string_view key) {
        return app().readSetting(section, key, catalogue::defaultOf(key));
    };
    for (auto* field : accountFields()) field->setText(read(field->name()));
    auto tick = [&](std::string_view key) {
        return tickValue(read(key), tickValue(catalogue::defaultOf(key), 0));
    };
    tls_.load(tick("TLS_NO_TICKBOX"), tick("TLS_YES_TICKBOX"), tick("TLS_AUTO_TICKBOX"));
    SMTP_PASSWORD_TEXTBOX.setPassword(!SHOW_PASSWORD_TICKBOX.ticked());
}

}  // namespace pd
