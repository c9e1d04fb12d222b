#include "tools/HelpWindow.hpp"

#include "core/App.hpp"

namespace pd {

namespace {
std::string helpText(const std::string& nl) {
    return "BASIC HELP" + nl + nl +
           "1. Settings: choose the home folder, then the coin's programs in the crypto settings; Save "
           "writes the "
           "node scripts into the home folder." +
           nl +
           "2. Choose RUN QT or RUN DAEMON, and what happens at the end: AUTOCLOSE, POWER AUTOTIMER or "
           "nothing." +
           nl +
           "3. Set the count time (Block Times suggests one per coin) and, if you like, an override time." +
           nl +
           "4. START runs the whole chain: node up, block count polled until it stops changing, node "
           "stopped, "
           "end report written and mailed." +
           nl +
           "5. AutoStart with a weekly scheduled task (Settings, SCHEDULER) keeps the chain up to date "
           "without you." +
           nl + nl +
           "Every copy of the program keeps its own settings and files under its own file name: copy and "
           "rename the "
           "program to run another coin." +
           nl;
}
}  // namespace

HelpWindow::HelpWindow(App& app) : Window(app, "PACEDECK_HELP_WINDOW", "PACEDECK - BASIC HELP") {
    HELP_TEXTBOX.setText(helpText(app.profile().lineEnd));
    OK_BUTTON.onClick = [this] { close(); };
}

void HelpWindow::load() {
    restoreGeometry();
    REGISTRY_LOCATION_TEXTBOX.setText(app().store().location(app().exe()));
}

LayoutNode HelpWindow::layout() {
    return column({sized(HELP_TEXTBOX, 90, 12),
                   labelled("Settings of this copy:", REGISTRY_LOCATION_TEXTBOX, 70),
                   row({stretch(), defaultButton(OK_BUTTON)})});
}

}  // namespace pd
