#include "tools/LogManagerWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd {

LogManagerWindow::LogManagerWindow(App& app) : Window(app, "PACEDECK_LOG_MANAGER", "PACEDECK - LOG MANAGER") {
    CLEAR_SE_LOG_BUTTON.setText("CLEAR \"" + app.profile().mailerFile + "\" LOG");
    ENABLE_TICKBOX.onChange = [this] { enableClicked(); };
    CLEAR_PACEDECK_REPORT_BUTTON.onClick = [this] {
        clear(PACEDECK_LOG_LOCATION_TEXTBOX, CLEAR_PACEDECK_REPORT_BUTTON);
    };
    CLEAR_SE_LOG_BUTTON.onClick = [this] { clear(SE_LOG_LOCATION_TEXTBOX, CLEAR_SE_LOG_BUTTON); };
    OK_BUTTON.onClick = [this] { close(); };
}

void LogManagerWindow::load() {
    restoreGeometry();
    const auto files = mainWindow(app()).home();
    PACEDECK_LOG_LOCATION_TEXTBOX.setText(files.endReport());
    PACEDECK_BLOCKCOUNT_LOG_LOCATION_TEXTBOX.setText(files.latestBlockcount());
    SE_LOG_LOCATION_TEXTBOX.setText(files.mailerLog());
}

void LogManagerWindow::enableClicked() {
    CLEAR_PACEDECK_REPORT_BUTTON.setEnabled(ENABLE_TICKBOX.ticked());
    CLEAR_SE_LOG_BUTTON.setEnabled(ENABLE_TICKBOX.ticked());
}

void LogManagerWindow::clear(const TextBox& location, Button& button) {
    // One empty line; the tick keeps its state, so a second clear needs it re-armed. A
    // file that cannot be written is said here and the button stays for another try.
    auto written = app().platform().writeFile(location.text(), app().profile().lineEnd);
    if (!written) {
        CLEAR_STATUS_LABEL.setText("!!! NOT CLEARED: " + written.error + " !!!");
        CLEAR_STATUS_LABEL.setFore(colour::red);
        return;
    }
    CLEAR_STATUS_LABEL.setText("CLEARED: " + location.text());
    CLEAR_STATUS_LABEL.setFore(colour::windowText);
    button.setEnabled(false);
}

LayoutNode LogManagerWindow::layout() {
    return column({
        label("BLOCKCOUNT LOG LOCATION:"),
        sized(PACEDECK_BLOCKCOUNT_LOG_LOCATION_TEXTBOX, 67),
        label(app().profile().mailerFile + " LOG LOCATION:"),
        sized(SE_LOG_LOCATION_TEXTBOX, 67),
        label("PACEDECK END REPORT LOCATION:"),
        sized(PACEDECK_LOG_LOCATION_TEXTBOX, 67),
        ENABLE_TICKBOX,
        row({CLEAR_PACEDECK_REPORT_BUTTON, CLEAR_SE_LOG_BUTTON}),
        stretch(),
        row({CLEAR_STATUS_LABEL, stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd
