#pragma once
#include <string>
#include <string_view>

namespace pd {

struct Profile;

// What the mailer commands are made of: the e-mail settings' fields and the main window's
// coin and home folder.
struct MailerValues {
    std::string mailerHome;  // SE: the folder that holds the mailer
    std::string from, to, cc, bcc;
    std::string server;  // server:port
    std::string username, password;
    std::string tls = "no";  // "no", "yes" or "auto"
    bool attachReport = false;
    bool attachChart = false;  // the sync chart goes with the attached report
    std::string crypto;        // coin name, for the subjects
    std::string home;          // PACEDECK home folder
    std::string exe;
};

struct MailerCommands {
    std::string startSubject;      // "PACEDECK - <coin> - STARTED"
    std::string endSubject;        // "PACEDECK - <coin> - COMPLETED - LOG REPORT"
    std::string alertSubject;      // "PACEDECK - <coin> - ALERT - NODE STUCK - LOG REPORT"
    std::string messageOption;     // " -o message-file=..." of the end command
    std::string attachmentOption;  // "-a <report>", "-a <report> <chart>" or empty
    std::string startCommand;
    std::string endCommand;
    std::string alertCommand;  // the end report under the alert's subject
};

// The start-notice, end-report and stuck-node alert command lines for the profile's shell. Values stand as
// typed where the shell takes them literally and are quoted where it would not, so a
// password with a blank or a quote reaches the mailer whole.
MailerCommands buildMailerCommands(const Profile& profile, const MailerValues& v);

// "PACEDECK - <coin> - ALERT - <outcome> - LOG REPORT": the subject of a run's report when the
// run went wrong, `outcome` naming how ("NODE STUCK").
std::string alertSubject(std::string_view crypto, std::string_view outcome);

// A saved end-report command turned into the alert for `outcome` (plain words, as a run's
// stamps hold them): its subject says ALERT and the outcome where it said COMPLETED. Without
// a report to send (`withReport` false) the alert's subject is also its message and nothing
// is attached, so no older report goes in its place. Empty when the command is not one
// this program made for this home folder.
std::string alertCommandFrom(const Profile& profile, std::string_view home, std::string_view exe,
                             std::string_view crypto, std::string_view endCommand, std::string_view outcome,
                             bool withReport);

// A saved end-report command with the sync chart added to or taken from its attachments.
// The mailer refuses to send when an attachment is missing, so the run decides at its end,
// once it knows whether the chart was drawn. A command without the report attached is
// returned as it is.
std::string endCommandWithChart(const Profile& profile, std::string_view home, std::string_view exe,
                                std::string_view endCommand, bool attachChart);

}  // namespace pd
