#include "settings/MailerCommands.hpp"

#include <optional>

#include "core/HomeLayout.hpp"
#include "core/Profile.hpp"
#include "core/ShellQuote.hpp"

namespace pd {

namespace {

constexpr std::string_view nodeStuck = "NODE STUCK";

// A value the command writes between quotes (an empty one stays an empty argument).
std::string quoted(const Profile& p, std::string_view v) {
    return scriptLineQuotedWord(p.shell, v);
}

// A value the command writes bare, after "name=": nothing when empty, quoted only where the
// shell would split or expand it.
std::string bare(const Profile& p, std::string_view v) {
    return v.empty() ? std::string() : scriptLineWord(p.shell, v);
}

// The report's attachment option, and what follows it when the chart goes too.
std::string reportAttachment(const Profile& p, const HomeLayout& files) {
    return "-a " + quoted(p, files.endReport());
}
std::string chartAttachment(const Profile& p, const HomeLayout& files) {
    return " " + quoted(p, files.syncChart());
}

// The command without the report's attachment and the chart after it; nothing when the report
// is not attached.
std::optional<std::string_view> withoutReportAttachment(const Profile& p, const HomeLayout& files,
                                                        std::string_view command) {
    const auto report = reportAttachment(p, files);
    const auto chart = chartAttachment(p, files);
    if (command.ends_with(report + chart)) command.remove_suffix(chart.size());
    if (!command.ends_with(report)) return std::nullopt;
    command.remove_suffix(report.size());
    return command;
}

std::string messageFileOption(const Profile& p, const HomeLayout& files) {
    return " -o message-file=" + quoted(p, files.endReport());
}

}  // namespace

MailerCommands buildMailerCommands(const Profile& p, const MailerValues& v) {
    MailerCommands c;
    c.startSubject = "PACEDECK - " + v.crypto + " - STARTED";
    c.endSubject = "PACEDECK - " + v.crypto + " - COMPLETED - LOG REPORT";
    c.alertSubject = alertSubject(v.crypto, nodeStuck);
    const HomeLayout files(p, v.home, v.exe);
    c.messageOption = messageFileOption(p, files);
    if (v.attachReport)
        c.attachmentOption = reportAttachment(p, files) + (v.attachChart ? chartAttachment(p, files) : "");

    const auto head = p.scriptPrefix + scriptLineProgram(p.shell, p.join(v.mailerHome, p.mailerFile)) +
                      " -f " + quoted(p, v.from) + " -t " + quoted(p, v.to) + " -cc " + quoted(p, v.cc) +
                      " -bcc " + quoted(p, v.bcc);
    const auto tail = " -s " + quoted(p, v.server) + " -xu " + quoted(p, v.username) + " -xp " +
                      quoted(p, v.password) + " -o reply-to=" + bare(p, v.from) + " -l " +
                      quoted(p, files.mailerLog()) + " -o tls=" + bare(p, v.tls) +
                      " -o username=" + bare(p, v.username) + " -o password=" + bare(p, v.password) + " -q " +
                      "-v ";
    c.startCommand = head + " -u " + quoted(p, c.startSubject) + " -m " + quoted(p, c.startSubject) + tail;
    c.endCommand = head + " -u " + quoted(p, c.endSubject) + c.messageOption + tail + c.attachmentOption;
    c.alertCommand = alertCommandFrom(p, v.home, v.exe, v.crypto, c.endCommand, nodeStuck, true);
    return c;
}

std::string alertSubject(std::string_view crypto, std::string_view outcome) {
    return "PACEDECK - " + std::string(crypto) + " - ALERT - " + std::string(outcome) + " - LOG REPORT";
}

std::string alertCommandFrom(const Profile& p, std::string_view home, std::string_view exe,
                             std::string_view crypto, std::string_view endCommand, std::string_view outcome,
                             bool withReport) {
    // The words go inside the quoted subject: plain words need no quoting in any shell.
    constexpr std::string_view completed = " - COMPLETED - LOG REPORT";
    const auto subject = endCommand.find(" -u ");
    const auto at = subject == std::string_view::npos ? subject : endCommand.find(completed, subject);
    if (at == std::string_view::npos) return {};
    std::string alert(endCommand);
    alert.replace(at, completed.size(), " - ALERT - " + std::string(outcome) + " - LOG REPORT");
    if (withReport) return alert;

    const HomeLayout files(p, home, exe);
    const auto message = messageFileOption(p, files);
    const auto m = alert.find(message);
    if (m == std::string::npos) return {};
    alert.replace(m, message.size(), " -m " + quoted(p, alertSubject(crypto, outcome)));
    if (auto bare = withoutReportAttachment(p, files, alert)) return std::string(*bare);
    return alert;
}

std::string endCommandWithChart(const Profile& p, std::string_view home, std::string_view exe,
                                std::string_view endCommand, bool attachChart) {
    const HomeLayout files(p, home, exe);
    const auto base = withoutReportAttachment(p, files, endCommand);
    if (!base) return std::string(endCommand);
    return std::string(*base) + reportAttachment(p, files) + (attachChart ? chartAttachment(p, files) : "");
}

}  // namespace pd
