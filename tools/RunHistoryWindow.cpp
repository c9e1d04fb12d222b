#include "tools/RunHistoryWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "main/RunHistory.hpp"
#include "main/SyncChart.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd {

namespace {
// A year of weekly runs.
constexpr std::size_t chartedRuns = 52;
}  // namespace

RunHistoryShown runHistoryShown(App& app, const std::string& home) {
    if (home.empty()) return {false, "!!! NO HOME FOLDER IS SET - NO RUN HISTORY !!!", ""};
    const auto path = HomeLayout(app.profile(), home, app.exe()).runHistory();
    auto& platform = app.platform();
    if (!platform.exists(path)) return {false, "!!! NO RUN HISTORY YET - " + path + " !!!", ""};
    const auto text = platform.readFile(path);
    if (!text) return {false, "!!! RUN HISTORY NOT READABLE - " + path + " !!!", ""};
    const auto runs = parseRunHistory(*text);
    if (runs.empty()) return {false, "!!! NO RUN IN THE RUN HISTORY YET - " + path + " !!!", ""};
    const auto shown = std::min(runs.size(), runHistoryRows);
    return {true,
            "THE LAST " + std::to_string(shown) + " OF " + std::to_string(runs.size()) +
                " RUNS, NEWEST FIRST - " + path,
            runHistoryTable(runs, runHistoryRows)};
}

std::string runHistoryPrintout(App& app) {
    const auto shown = runHistoryShown(app, app.readSetting(app.exe(), "PACEDECK_HOME_TEXTBOX", ""));
    return "PACEDECK - " + app.exe() + " - RUN HISTORY\n" + shown.heading + "\n" +
           (shown.any ? "\n" + shown.table : "");
}

RunHistoryWindow::RunHistoryWindow(App& app)
    : Window(app, "PACEDECK_RUN_HISTORY_WINDOW", "PACEDECK - RUN HISTORY") {
    RUN_CHART_BUTTON.onClick = [this] { chartClicked(); };
    HISTORY_FILE_BUTTON.onClick = [this] {
        HISTORY_STATUS_LABEL.setText(
            openInTextEditor(this->app(), mainWindow(this->app()).home().runHistory()));
    };
    OK_BUTTON.onClick = [this] { close(); };
}

void RunHistoryWindow::load() {
    restoreGeometry();
    const auto shown = runHistoryShown(app(), mainWindow(app()).PACEDECK_HOME_TEXTBOX.text());
    RUN_HISTORY_LABEL.setText(shown.heading);
    RUN_HISTORY_TEXTBOX.setText(shown.table);
    RUN_CHART_BUTTON.setEnabled(shown.any);
}

void RunHistoryWindow::chartClicked() {
    // Drawn afresh from the file each time: the last year of runs as the file holds them now.
    auto& platform = app().platform();
    const auto home = mainWindow(app()).home();
    const auto text = platform.readFile(home.runHistory());
    auto runs = text ? parseRunHistory(*text) : std::vector<RunRecord>();
    if (runs.size() > chartedRuns) runs.erase(runs.begin(), runs.end() - chartedRuns);
    const auto title =
        "PACEDECK - " + app().exe() + " - RUN HISTORY - THE LAST " + std::to_string(runs.size()) + " RUNS";
    const auto chart = home.runHistoryChart();
    if (auto written = platform.writeFile(chart, runHistoryChartSvg(runs, title)); !written) {
        HISTORY_STATUS_LABEL.setText("!!! RUN CHART NOT WRITTEN - " + written.error + " !!!");
        return;
    }
    HISTORY_STATUS_LABEL.setText(openInViewer(app(), chart));
}

LayoutNode RunHistoryWindow::layout() {
    return column({
        RUN_HISTORY_LABEL,
        table(RUN_HISTORY_TEXTBOX, 118, 16),
        row({RUN_CHART_BUTTON, HISTORY_FILE_BUTTON, label("OPENS IN " + app().profile().editorName),
             stretch(), defaultButton(OK_BUTTON)}),
        HISTORY_STATUS_LABEL,
    });
}

}  // namespace pd
