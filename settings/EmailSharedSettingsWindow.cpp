#include "settings/EmailSharedSettingsWindow.hpp"

#include "core/App.hpp"
#include "settings/EmailSettingsWindow.hpp"

namespace pd {

EmailSharedSettingsWindow::EmailSharedSettingsWindow(App& app)
    : EmailAccountWindow(app, "PACEDECK_EMAIL_SHARED_SETTINGS", "PACEDECK - EMAIL SHARED SETTINGS") {
    USE_THESE_SHARED_SETTINGS_BUTTON.onClick = [this] { useTheseClicked(); };
    OK_BUTTON.onClick = [this] { okClicked(); };
    CANCEL_BUTTON.onClick = [this] { close(); };
}

LayoutNode EmailSharedSettingsWindow::layout() {
    // The heading tells this window from the copy's own, which looks alike.
    return column({
        group("SHARED EMAIL SETTINGS - ONE ACCOUNT FOR EVERY COPY OF PACEDECK", {accountLayout()}),
        stretch(),
        row({USE_THESE_SHARED_SETTINGS_BUTTON, stretch(), defaultButton(OK_BUTTON), CANCEL_BUTTON}),
    });
}

void EmailSharedSettingsWindow::load() {
    restoreGeometry();
    loadAccount(SettingsStore::sharedEmailSection);
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
    // One account: a user name of one OK never stands beside the password of another.
    SettingsStore::Batch batch(app().store());
    storePosition();
    positionStored_ = true;
    const auto section = SettingsStore::sharedEmailSection;
    for (auto* field : accountFields()) app().writeSetting(section, field->name(), field->text());
    for (auto* box : {&TLS_NO_TICKBOX, &TLS_YES_TICKBOX, &TLS_AUTO_TICKBOX})
        app().writeSetting(section, box->name(), std::to_string(box->value()));
    close();
    app().commitSettings(batch, className());
}

}  // namespace pd
