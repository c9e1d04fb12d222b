#include "tools/DedicationsWindow.hpp"

#include "core/App.hpp"

namespace pd {

DedicationsWindow::DedicationsWindow(App& app)
    : Window(app, "PACEDECK_DEDICATIONS_WINDOW", "PACEDECK - DEDICATIONS") {
    const auto& nl = app.profile().lineEnd;
    DEDICATIONS_TEXTBOX.setText(
        "DEDICATED TO" + nl + nl +
        "everyone who keeps a full node running at home, checks its blocks for themselves "
        "and shares them with the rest of the network;" +
        nl + "and to the families who put up with a computer humming through the night." + nl);
    OK_BUTTON.onClick = [this] { close(); };
}

LayoutNode DedicationsWindow::layout() {
    return column({sized(DEDICATIONS_TEXTBOX, 100, 10), row({stretch(), defaultButton(OK_BUTTON)})});
}

}  // namespace pd
