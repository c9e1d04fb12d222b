#include "settings/MailerCommands.hpp"

#include <string_view>

#include "core/Profile.hpp"
#include "main/EndReport.hpp"

namespace pd {

namespace {

// Between double quotes for cmd and the C runtime: a quote is escaped with a backslash
// (backslashes before it doubled), and a percent sign is doubled for the batch file.
std::string cmdQuoted(std::string_view v) {
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : v) {
        if (c == '\\') {
            ++backslashes;
            out += c;
            continue;
        }
        if (c == '"') out.append(backslashes + 1, '\\');
        if (c == '%') out += '%';
        out += c;
        backslashes = 0;
    }
    out.append(backslashes, '\\');  // a trailing backslash must not escape the closing quote
    out += '"';
    return out;
}

// Single quotes take everything literally in sh; a single quote itself is closed,
// escaped and reopened.
std::string shSingleQuoted(std::string_view v) {
    std::string out = "'";
    for (char c : v) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

bool hasAnyOf(std::string_view v, std::string_view chars) {
    return v.find_first_of(chars) != v.npos;
}

bool shBareSafe(std::string_view v) {
    for (char c : v) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  std::string_view("@%+=:,./_-").find(c) != std::string_view::npos;
        if (!ok) return false;
    }
    return true;
}

// A value the command writes between double quotes.
std::string quoted(const Profile& p, std::string_view v) {
    if (p.shell == ShellKind::Cmd) return cmdQuoted(v);
    // Inside double quotes sh still expands $, ` and \ and ends at ": only then single quotes.
    if (!hasAnyOf(v, "$`\\\"")) return "\"" + std::string(v) + "\"";
    return shSingleQuoted(v);
}

// A value the command writes bare, after "name=".
std::string bare(const Profile& p, std::string_view v) {
    if (p.shell == ShellKind::Cmd) return hasAnyOf(v, " \t\"&|<>^%(),;=!") ? cmdQuoted(v) : std::string(v);
    return shBareSafe(v) ? std::string(v) : shSingleQuoted(v);
}

}  // namespace

std::string mailerLogPath(const Profile& profile, const std::string& home, const std::string& exe) {
    return profile.subFolder(home, "LOGS") + exe + "-SEND-EMAIL.LOG";
}

MailerCommands buildMailerCommands(const Profile& p, const MailerValues& v) {
    MailerCommands c;
    c.startSubject = "PACEDECK - " + v.crypto + " - STARTED";
    c.endSubject = "PACEDECK - " + v.crypto + " - COMPLETED - LOG REPORT";
    const auto report = endReportPath(p, v.home, v.exe);
    c.messageOption = " -o message-file=" + quoted(p, report);
    if (v.attachReport) c.attachmentOption = "-a " + quoted(p, report);

    const auto head = p.scriptPrefix + quoted(p, p.join(v.mailerHome, p.mailerFile)) + " -f " +
                      quoted(p, v.from) + " -t " + quoted(p, v.to) + " -cc " + quoted(p, v.cc) + " -bcc " +
                      quoted(p, v.bcc);
    const auto tail = " -s " + quoted(p, v.server) + " -xu " + quoted(p, v.username) + " -xp " +
                      quoted(p, v.password) + " -o reply-to=" + bare(p, v.from) + " -l " +
                      quoted(p, mailerLogPath(p, v.home, v.exe)) + " -o tls=" + bare(p, v.tls) +
                      " -o username=" + bare(p, v.username) + " -o password=" + bare(p, v.password) + " -q " +
                      "-v ";
    c.startCommand = head + " -u " + quoted(p, c.startSubject) + " -m " + quoted(p, c.startSubject) + tail;
    c.endCommand = head + " -u " + quoted(p, c.endSubject) + c.messageOption + tail + c.attachmentOption;
    return c;
}

}  // namespace pd
