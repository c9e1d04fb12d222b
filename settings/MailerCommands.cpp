#include "settings/MailerCommands.hpp"

#include "core/HomeLayout.hpp"
#include "core/Profile.hpp"
#include "core/ShellQuote.hpp"

namespace pd {

namespace {

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

}  // namespace

MailerCommands buildMailerCommands(const Profile& p, const MailerValues& v) {
    MailerCommands c;
    c.startSubject = "PACEDECK - " + v.crypto + " - STARTED";
    c.endSubject = "PACEDECK - " + v.crypto + " - COMPLETED - LOG REPORT";
    c.alertSubject = "PACEDECK - " + v.crypto + " - ALERT - NODE STUCK - LOG REPORT";
    const HomeLayout files(p, v.home, v.exe);
    const auto report = files.endReport();
    c.messageOption = " -o message-file=" + quoted(p, report);
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
    c.alertCommand = head + " -u " + quoted(p, c.alertSubject) + c.messageOption + tail + c.attachmentOption;
    return c;
}

std::string endCommandWithChart(const Profile& p, std::string_view home, std::string_view exe,
                                std::string_view endCommand, bool attachChart) {
    const HomeLayout files(p, home, exe);
    const auto report = reportAttachment(p, files);
    const auto chart = chartAttachment(p, files);
    std::string_view base = endCommand;
    if (base.ends_with(report + chart)) base.remove_suffix(chart.size());
    if (!base.ends_with(report)) return std::string(endCommand);
    return std::string(base) + (attachChart ? chart : "");
}

}  // namespace pd
