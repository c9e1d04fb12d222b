#include "tools/BoxInfoWindow.hpp"

#include "core/App.hpp"

namespace pd {

BoxInfoWindow::BoxInfoWindow(App& app) : Window(app, "PACEDECK_BOX_INFO_WINDOW", "PACEDECK - BOX INFO") {
    OK_BUTTON.onClick = [this] { close(); };
}

void BoxInfoWindow::load() {
    restoreGeometry();
    PC_NAME_TEXTBOX.setText("PC NAME = " + app().platform().computerName());
    USERNAME_TEXTBOX.setText("USERNAME = " + app().platform().userName());
}

LayoutNode BoxInfoWindow::layout() {
    return column({HEADING_LABEL, sized(PC_NAME_TEXTBOX, 36), sized(USERNAME_TEXTBOX, 36), stretch(),
                   row({stretch(), defaultButton(OK_BUTTON)})});
}

}  // namespace pd
