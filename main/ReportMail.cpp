#include "main/ReportMail.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "settings/MailerCommands.hpp"

namespace pd {

namespace {

// A stamp's words without its frame: "!!! NODE STUCK !!!" names "NODE STUCK".
std::string outcomeName(std::string_view stamp) {
    constexpr std::string_view frame = "!!! ";
    if (stamp.starts_with(frame)) stamp.remove_prefix(frame.size());
    if (stamp.ends_with(" !!!")) stamp.remove_suffix(frame.size());
    return std::string(stamp);
}

}  // namespace

std::optional<ReportMail> prepareReportMail(MainWindow& w) {
    const bool written = w.endReport.written();
    const ReportMail report{Script::EndReportEmail, "SENDING REPORT EMAIL"};
    if (w.runFault().empty() && written) return report;

    auto& app = w.app();
    const auto name = outcomeName(w.runFault());
    const auto alert = w.runFault().empty()
                           ? std::string()
                           : alertCommandFrom(app.profile(), w.PACEDECK_HOME_TEXTBOX.text(), app.exe(),
                                              w.CRYPTO_NAME_TEXTBOX.text(),
                                              w.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text(), name, written);
    std::string why = "THE SAVED REPORT EMAIL CANNOT CARRY AN ALERT - SAVE THE EMAIL SETTINGS";
    if (!alert.empty()) {
        // The script holds the password: readable by the user alone, as the e-mail settings write it.
        auto outcome = app.platform().writeFile(w.home().script(Script::StuckAlertEmail),
                                                alert + app.profile().lineEnd, true, true);
        if (outcome) return ReportMail{Script::StuckAlertEmail, "SENDING ALERT EMAIL - " + name};
        why = "ALERT EMAIL SCRIPT NOT WRITTEN - " + outcome.error;
    }
    if (!written) {
        // The mailer reads the report file: it would send an older run's report.
        w.status("!!! REPORT EMAIL NOT SENT - THE END REPORT WAS NOT WRITTEN !!!");
        return std::nullopt;
    }
    // The report still goes; its last-run line names the fault.
    return ReportMail{Script::EndReportEmail, "!!! " + why + " - SENDING THE REPORT EMAIL !!!"};
}

}  // namespace pd
