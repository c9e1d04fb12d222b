#pragma once
#include <optional>
#include <string>

#include "core/HomeLayout.hpp"

namespace pd {

class MainWindow;

// The e-mail that carries a run's end report (stage 17).
struct ReportMail {
    Script script;
    std::string status;  // what the status line says as it goes
};

// A run without a fault mails its report with the saved end-report script. A run with one
// mails it as the alert whose subject names the fault ("PACEDECK - <coin> - ALERT - QT /
// DAEMON ERROR - LOG REPORT"): the saved end-report command, fitted to the fault and written
// as the alert script at the run's end, so that it carries exactly what the report mail
// would. When the report itself could not be written the alert still goes, without any
// report. None when there is nothing to send; the status line says why.
std::optional<ReportMail> prepareReportMail(MainWindow& w);

}  // namespace pd
