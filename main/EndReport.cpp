#include "main/EndReport.hpp"

#include "core/App.hpp"
#include "core/TextValue.hpp"
#include "main/MainWindow.hpp"
#include "main/RunChart.hpp"

namespace pd {

EndReport::EndReport(MainWindow& w) : w_(w) {
    w_.TASK_14_MAIN_TIMER.onTick = [this] { logEndTime(); };
    w_.TASK_15_MAIN_TIMER.onTick = [this] { logTotalRuntime(); };
    w_.TASK_16_MAIN_TIMER.onTick = [this] { createReport(); };
}

void EndReport::logEndTime() {
    w_.TASK_13_LIGHT.setBack(colour::green);
    w_.TASK_14_LIGHT.setBack(colour::cyan);
    w_.status("LOGGING END TIME");
    w_.END_TIME_TEXTBOX.setText(w_.app().platform().timeText());
    Pipeline::handOver(w_, 14, 15);
}

void EndReport::logTotalRuntime() {
    w_.TASK_14_LIGHT.setBack(colour::green);
    w_.TASK_15_LIGHT.setBack(colour::cyan);
    w_.status("LOGGING TOTAL RUNTIME");
    // The run-time clock, not end minus start: it counts from stage 3 and wraps at 24 h.
    w_.TOTAL_RUNTIME_TEXTBOX.setText(w_.RUNTIME_LABEL.text());
    Pipeline::handOver(w_, 15, 16);
}

void EndReport::createReport() {
    w_.TASK_15_LIGHT.setBack(colour::green);
    w_.TASK_16_LIGHT.setBack(colour::cyan);
    w_.status("CREATING END REPORT");
    // Without both readings there is no difference to show: an empty one counted as 0
    // would report the whole chain, or a negative count, as downloaded.
    const auto before = leadingNumber(w_.BLOCKCOUNT_LOG_START_TEXTBOX.text());
    const auto after = leadingNumber(w_.BLOCKCOUNT_LOG_END_TEXTBOX.text());
    w_.DOWNLOADED_BLOCKS_TEXTBOX.setText(before && after ? plainNumber(*after - *before)
                                         : after         ? std::string(unknownBefore)
                                         : before        ? std::string(unknownAfter)
                                                         : std::string(unknownCount));
    w_.LOG_FILE_OUTPUT_TEXTBOX.setText(compose());
    writeReportFile();
    if (!written_) {
        w_.TASK_16_LIGHT.setBack(colour::red);
        w_.noteRunFault("!!! END REPORT NOT WRITTEN !!!");
    } else {
        writeRunChart(w_);
    }
    Pipeline::handOver(w_, 16, 17);
}

std::string EndReport::compose() const {
    const auto& profile = w_.app().profile();
    const auto& exe = w_.app().exe();
    const std::string& nl = profile.lineEnd;
    const std::string& splitter = w_.SPLITTER_LINE_TEXTBOX.text();
    const std::string& home = w_.PACEDECK_HOME_TEXTBOX.text();
    const std::string& node = w_.RUN_QT_OR_D_TEXTBOX.text();

    // Each field goes in unchanged; the folder sizes and the top and bottom messages bring
    // their own line breaks.
    std::string r;
    auto line = [&](std::string_view text) {
        r += text;
        r += nl;
    };
    r += w_.LOG_TOP_MESSAGE_TEXTBOX.text();
    line(splitter);
    line("");
    line(w_.PC_NAME_TEXTBOX.text());
    line("");
    line("Crypto Name = " + w_.CRYPTO_NAME_TEXTBOX.text());
    line("");
    line("Today = " + w_.DATE_TEXTBOX.text());
    line("");
    line("START Run Time:");
    line(w_.START_TIME_TEXTBOX.text());
    line("");
    line("Blockchain START Folder Size:");
    line(w_.BC_FOLDER_SIZE_BEFORE.text());
    line("");
    line("Last Know Block Number BEFORE Update:");
    line(w_.BLOCKCOUNT_LOG_START_TEXTBOX.text());
    line("Last Know Block Number AFTER Update:");
    line(w_.BLOCKCOUNT_LOG_END_TEXTBOX.text());
    line("Number Of Blocks Downloaded:");
    line(w_.DOWNLOADED_BLOCKS_TEXTBOX.text());
    line("");
    line("Blockchain END Folder Size:");
    line(w_.BC_FOLDER_SIZE_AFTER.text());
    line("");
    line("END Run Time:");
    line(w_.END_TIME_TEXTBOX.text());
    line("");
    line("MINIMUM RUN TIME:");
    line(w_.TOTAL_RUNTIME_TEXTBOX.text());
    line("");
    line(splitter);
    line("");
    // During a run the report tells this run's outcome as it stands; the stamp box still
    // shows the previous run's until this one ends.
    line("MULTILOADER LAST RUN: " +
         (w_.runInProgress() ? w_.runOutcome().stamp : w_.MULTILOADER_LAST_RUN_TEXTBOX.text()));
    line("BLOCKCOUNTER LAST RUN: " + w_.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text());
    line("");
    line("PACEDECK Filename: ");
    line(exe + profile.executableSuffix);
    line("");
    line("PACEDECK Home: ");
    line(home);
    line("");
    line("BLOCKCHAIN FOLDER: ");
    line(w_.BLOCKCHAIN_HOME_TEXTBOX.text());
    line("");
    line("CRYPTO-CONFIG File: ");
    line(w_.home().cryptoConfig());
    line("");
    // The program that ran: the daemon's name for a daemon run, else the qt wallet's.
    const auto& program = node == "DAEMON" ? w_.DAEMON_NAME_TEXTBOX.text() : w_.QT_NAME_TEXTBOX.text();
    line("BLOCKCHAIN UPDATED USING: " + node + " --- " + program + " --- ");
    line(node + " Shutdown Using --- " + w_.CLI_NAME_TEXTBOX.text() + " ---");
    // Only a node that went away early leaves its last words here.
    if (const auto& said = w_.nodeOutput.lastWords(); !said.empty()) line(node + " LAST OUTPUT: " + said);
    line("");
    line("FINAL ACTION:");
    line(w_.AUTOCLOSE_OR_POWER_AUTOTIMER_TEXTBOX.text());
    line(w_.AUTOTIMER_ACTION_TEXTBOX.text());
    line("");
    line(splitter);
    r += w_.LOG_BOTTOM_MESSAGE_TEXTBOX.text();
    line(splitter);
    return r;
}

void EndReport::writeReportFile() {
    written_ = false;
    auto& platform = w_.app().platform();
    const auto& profile = w_.app().profile();
    const std::string& home = w_.PACEDECK_HOME_TEXTBOX.text();
    // Without a home folder the path would fall to the root of the file system.
    if (home.empty()) {
        w_.status("!!! END REPORT NOT WRITTEN - NO HOME FOLDER IS SET !!!");
        return;
    }
    auto folder = w_.home().folder(HomeFolder::Reports);
    if (!platform.exists(folder)) {
        if (auto made = platform.createFolder(folder); !made) {
            w_.status("!!! END REPORT NOT WRITTEN - " + made.error + " !!!");
            return;
        }
    }
    auto path = w_.home().endReport();
    auto outcome = platform.writeFile(path, w_.LOG_FILE_OUTPUT_TEXTBOX.text() + profile.lineEnd);
    if (!outcome) {
        w_.status("!!! END REPORT NOT WRITTEN - " + outcome.error + " !!!");
        return;
    }
    written_ = true;
}

}  // namespace pd
