#include "tools/DonationsWindow.hpp"

#include "core/App.hpp"

namespace pd {

DonationsWindow::DonationsWindow(App& app)
    : Window(app, "PACEDECK_DONATIONS_WINDOW", "PACEDECK - DONATIONS") {
    const auto& nl = app.profile().lineEnd;
    DONATIONS_TEXTBOX.setText(
        "PACEDECK asks for nothing." + nl + nl +
        "If it saves you time, give some of it back to your coin's network: keep your node "
        "reachable, leave it running a little longer, and help the next person set one up." +
        nl);
    OK_BUTTON.onClick = [this] { close(); };
}

LayoutNode DonationsWindow::layout() {
    return column({sized(DONATIONS_TEXTBOX, 70, 8), row({stretch(), defaultButton(OK_BUTTON)})});
}

}  // namespace pd
