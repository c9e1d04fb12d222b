#include "tools/AboutWindow.hpp"

#include "core/App.hpp"
#include "tools/DedicationsWindow.hpp"
#include "tools/DonationsWindow.hpp"

namespace pd {

AboutWindow::AboutWindow(App& app) : Window(app, "PACEDECK_ABOUT", "PACEDECK - ABOUT") {
    const auto& nl = app.profile().lineEnd;
    ABOUT_TEXTBOX.setText(
        "PACEDECK - SYNCWARD" + nl + nl +
        "Brings a coin's full node up to date unattended: starts the node, watches its block count "
        "until the chain has caught up, stops it, and reports what happened." +
        nl + nl + "This copy: " + app.exe() + nl + nl +
        "Copyright (c) 2026 The PACEDECK authors. Free software under the MIT License: see the file "
        "LICENSE of the sources, or /usr/share/doc/pacedeck/copyright where the package is installed." +
        nl);
    DEDICATIONS_BUTTON.onClick = [this] { this->app().open<DedicationsWindow>(this); };
    DONATIONS_BUTTON.onClick = [this] { this->app().open<DonationsWindow>(this); };
    OK_BUTTON.onClick = [this] { close(); };
}

LayoutNode AboutWindow::layout() {
    return column({sized(ABOUT_TEXTBOX, 70, 8),
                   row({DEDICATIONS_BUTTON, DONATIONS_BUTTON, stretch(), defaultButton(OK_BUTTON)})});
}

}  // namespace pd
