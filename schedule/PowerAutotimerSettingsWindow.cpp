#include "schedule/PowerAutotimerSettingsWindow.hpp"

#include "core/App.hpp"
#include "core/TimeOfDay.hpp"
#include "main/MainWindow.hpp"

namespace pd {

int powerActionIndex(std::string_view text) {
    for (std::size_t i = 0; i < powerActions.size(); ++i)
        if (powerActions[i].text == text) return static_cast<int>(i);
    return -1;
}

PowerAutotimerSettingsWindow::PowerAutotimerSettingsWindow(App& app)
    : Window(app, "PACEDECK_POWER_AUTOTIMER_SETTINGS", "PACEDECK - POWER AUTOTIMER SETTINGS") {
    for (int i = 0; i < 4; ++i) actionTick(i).onChange = [this, i] { actionClicked(i); };
    OK_BUTTON.onClick = [this] { okClicked(); };
}

LayoutNode PowerAutotimerSettingsWindow::layout() {
    return column({
        group("POWER ACTION", {SHUTDOWN_TICKBOX, RESTART_TICKBOX, HIBERNATE_TICKBOX, LOGOFF_TICKBOX,
                               sized(AUTOTIMER_ACTION_TEXTBOX, 22)}),
        row({label("COUNTDOWN START:"), sized(CLOSE_REQUEST_COUNTDOWN_TEXTBOX, 8), label("END = 00:00:00")}),
        stretch(),
        row({stretch(), defaultButton(OK_BUTTON)}),
    });
}

TickBox& PowerAutotimerSettingsWindow::actionTick(int index) {
    static constexpr std::array<TickBox PowerAutotimerSettingsWindow::*, 4> ticks = {
        &PowerAutotimerSettingsWindow::SHUTDOWN_TICKBOX, &PowerAutotimerSettingsWindow::RESTART_TICKBOX,
        &PowerAutotimerSettingsWindow::HIBERNATE_TICKBOX, &PowerAutotimerSettingsWindow::LOGOFF_TICKBOX};
    return this->*ticks.at(static_cast<std::size_t>(index));
}

void PowerAutotimerSettingsWindow::load() {
    restoreGeometry();
    loadText(CLOSE_REQUEST_COUNTDOWN_TEXTBOX);
    // Unlike the main window, this window shows an unset action as empty.
    AUTOTIMER_ACTION_TEXTBOX.setText(setting(AUTOTIMER_ACTION_TEXTBOX.name(), ""));
    // Ticking runs the tickbox's rule, which makes the choice exclusive.
    if (int index = powerActionIndex(AUTOTIMER_ACTION_TEXTBOX.text()); index >= 0)
        actionTick(index).setTicked(true);
}

// One action at most: the others are greyed until the ticked one is cleared.
void PowerAutotimerSettingsWindow::actionClicked(int index) {
    auto& main = mainWindow(app());
    if (actionTick(index).ticked()) {
        for (int other = 0; other < 4; ++other) {
            if (other == index) continue;
            actionTick(other).setTicked(false);
            actionTick(other).setEnabled(false);
        }
        AUTOTIMER_ACTION_TEXTBOX.setText(powerActions.at(static_cast<std::size_t>(index)).text);
        main.AUTOTIMER_ACTION_TEXTBOX.setText(AUTOTIMER_ACTION_TEXTBOX.text());
    } else {
        for (int other = 0; other < 4; ++other)
            if (other != index) actionTick(other).setEnabled(true);
        AUTOTIMER_ACTION_TEXTBOX.setText("");
        main.AUTOTIMER_ACTION_TEXTBOX.setText("");
    }
    storeText(AUTOTIMER_ACTION_TEXTBOX);
}

void PowerAutotimerSettingsWindow::okClicked() {
    // The countdown window reads this text as a time; a text that is none would make the
    // power action fire at once, so it is refused here instead.
    if (!TimeOfDay::parse(CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text())) {
        app().dialogs().message(*this, caption(),
                                "!!! COUNTDOWN START MUST BE A TIME HH:MM:SS, SUCH AS 00:01:00 !!!");
        return;
    }
    SettingsStore::Batch batch(app().store());
    storePosition();
    positionStored_ = true;
    storeText(AUTOTIMER_ACTION_TEXTBOX);
    storeText(CLOSE_REQUEST_COUNTDOWN_TEXTBOX);
    mainWindow(app()).CLOSE_REQUEST_COUNTDOWN_TEXTBOX.setText(CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text());
    close();
    app().commitSettings(batch, className());
}

void PowerAutotimerSettingsWindow::unload() {
    if (!positionStored_) storePosition();
}

}  // namespace pd
