#include "main/RunChart.hpp"

#include "core/App.hpp"
#include "core/TextFile.hpp"
#include "main/MainWindow.hpp"
#include "main/SyncChart.hpp"
#include "settings/MailerCommands.hpp"

namespace pd {

namespace {

// Draws the chart; false when there is none for this run. An earlier run's chart is
// removed then, so neither the reports window nor the mail shows it as this run's.
bool drawChart(MainWindow& w) {
    auto& platform = w.app().platform();
    const auto files = w.home();
    if (!platform.exists(files.syncHistory())) {
        platform.removeFile(files.syncChart());
        return false;
    }
    const auto history = platform.readFile(files.syncHistory());
    const auto title =
        "PACEDECK - " + w.CRYPTO_NAME_TEXTBOX.text() + " - HEIGHT AND HEADERS - " + w.DATE_TEXTBOX.text();
    auto outcome =
        history ? platform.writeFile(files.syncChart(), syncChartSvg(parseSyncHistory(*history), title))
                : Outcome::failure("the sync history could not be read");
    if (!outcome) {
        w.status("!!! SYNC CHART NOT WRITTEN - " + outcome.error + " !!!");
        platform.removeFile(files.syncChart());
    }
    return bool(outcome);
}

// The end-report script as saved names the chart when SYNC CHECK was ticked at the time;
// the tick may have changed since, and the chart may be missing.
void fitReportEmail(MainWindow& w, bool attachChart) {
    auto& app = w.app();
    const auto& profile = app.profile();
    const auto& saved = w.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text();
    auto wanted = endCommandWithChart(profile, w.PACEDECK_HOME_TEXTBOX.text(), app.exe(), saved, attachChart);
    if (wanted == saved) return;
    // The script holds the password: readable by the user alone, as the e-mail settings write it.
    auto outcome = writeTextFile(app.platform(), profile, w.home().script(Script::EndReportEmail),
                                 wanted + profile.lineEnd, true, true);
    if (!outcome) {
        w.status("!!! REPORT EMAIL SCRIPT NOT UPDATED FOR THE SYNC CHART - " + outcome.error + " !!!");
        return;
    }
    w.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.setText(wanted);
}

}  // namespace

void writeRunChart(MainWindow& w) {
    if (w.PACEDECK_HOME_TEXTBOX.text().empty()) return;
    const bool drawn = drawChart(w);
    const bool syncCheck = tickValue(w.app().readSetting(w.app().exe(), "SYNC_CHECK_TICKBOX", "1"), 1) == 1;
    fitReportEmail(w, drawn && syncCheck);
}

}  // namespace pd
