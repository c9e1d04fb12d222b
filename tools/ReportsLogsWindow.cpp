#include "tools/ReportsLogsWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "tools/LogManagerWindow.hpp"
#include "tools/RunHistoryWindow.hpp"

namespace pd {

ReportsLogsWindow::ReportsLogsWindow(App& app)
    : Window(app, "PACEDECK_REPORTS_LOGS_WINDOW", "PACEDECK - REPORTS / LOGS") {
    SE_LOG_BUTTON.setText("\"" + app.profile().mailerFile + "\" LOG");
    OPENS_IN_LABEL.setText("OPENS IN " + app.profile().editorName);
    REFRESH_BUTTON.onClick = [this] { refreshClicked(); };
    VIEW_LAST_SAVED_REPORT_BUTTON.onClick = [this] {
        EDITOR_STATUS_LABEL.setText(
            openInTextEditor(this->app(), mainWindow(this->app()).home().endReport()));
    };
    SE_LOG_BUTTON.onClick = [this] {
        EDITOR_STATUS_LABEL.setText(
            openInTextEditor(this->app(), mainWindow(this->app()).home().mailerLog()));
    };
    SYNC_CHART_BUTTON.onClick = [this] { openChart(); };
    RUN_HISTORY_BUTTON.onClick = [this] { this->app().open<RunHistoryWindow>(this); };
    LOG_MANAGER_BUTTON.onClick = [this] { this->app().open<LogManagerWindow>(this); };
    OK_BUTTON.onClick = [this] { close(); };
}

void ReportsLogsWindow::load() {
    restoreGeometry();
    LOG_FILE_OUTPUT_TEXTBOX.setText(mainWindow(app()).LOG_FILE_OUTPUT_TEXTBOX.text());
}

void ReportsLogsWindow::refreshClicked() {
    // The cyan flash marks the copy.
    LOG_FILE_OUTPUT_TEXTBOX.setBack(colour::cyan);
    LOG_FILE_OUTPUT_TEXTBOX.setText(mainWindow(app()).LOG_FILE_OUTPUT_TEXTBOX.text());
    LOG_FILE_OUTPUT_TEXTBOX.setBack(colour::windowBackground);
}

std::string openInTextEditor(App& app, const std::string& path) {
    // A missing file is the editor's to report; an editor that cannot start is ours.
    auto started = app.platform().runCommand(app.profile().editorCommandFor(path), WindowStyle::Normal);
    return started ? "" : "!!! THE TEXT EDITOR DID NOT START: " + started.error + " !!!";
}

std::string openInViewer(App& app, const std::string& path) {
    auto started = app.platform().runCommand(app.profile().viewerCommandFor(path), WindowStyle::Normal);
    return started ? "" : "!!! THE VIEWER DID NOT START: " + started.error + " !!!";
}

void ReportsLogsWindow::openChart() {
    const auto path = mainWindow(app()).home().syncChart();
    // A text editor reports a missing file itself; a viewer may show nothing at all.
    if (!app().platform().exists(path)) {
        EDITOR_STATUS_LABEL.setText("!!! NO SYNC CHART FROM THE LAST RUN !!!");
        return;
    }
    EDITOR_STATUS_LABEL.setText(openInViewer(app(), path));
}

LayoutNode ReportsLogsWindow::layout() {
    return column({
        label("LAST GENERATED REPORT:"),
        lines(LOG_FILE_OUTPUT_TEXTBOX, 90, 14),  // a report's lines are records: never wrapped
        row({REFRESH_BUTTON, VIEW_LAST_SAVED_REPORT_BUTTON, SE_LOG_BUTTON, OPENS_IN_LABEL, stretch(),
             SYNC_CHART_BUTTON, RUN_HISTORY_BUTTON, LOG_MANAGER_BUTTON}),
        row({EDITOR_STATUS_LABEL, stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd
