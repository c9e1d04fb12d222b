#include "schedule/ScheduledTask.hpp"

#include <array>

#include "core/OneLine.hpp"
#include "core/ShellQuote.hpp"
#include "platform/Platform.hpp"

namespace pd {

namespace {
constexpr char quote = '"';

// A word between double quotes for /bin/sh: used inside the crontab line, which is
// itself one single-quoted word of the command that installs it.
std::string doubleQuoted(std::string_view word) {
    std::string out(1, quote);
    for (char c : word) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out + quote;
}

// cron turns an unescaped % of a command into a new line.
std::string cronEscaped(std::string_view command) {
    std::string out;
    for (char c : command) {
        if (c == '%') out += '\\';
        out += c;
    }
    return out;
}

// awk -v reads backslash escapes: doubling keeps the text as it is.
std::string awkValue(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string twoDigits(int n) {
    return std::string(1, char('0' + n / 10)) + char('0' + n % 10);
}
}  // namespace

GraphicalSession GraphicalSession::of(Platform& platform) {
    // A cron job starts outside the session: without these the window cannot open. The
    // first display is the usual one when the task is made from outside a session.
    GraphicalSession s;
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"}) {
        auto value = platform.environment(name);
        if (value.empty() && std::string_view(name) == "DISPLAY") value = ":0";
        if (!value.empty()) s.variables.emplace_back(name, value);
    }
    return s;
}

ScheduledTask::ScheduledTask(const Profile& profile, std::string exe, GraphicalSession session,
                             std::string ownFile)
    : profile_(profile), exe_(std::move(exe)), session_(std::move(session)), ownFile_(std::move(ownFile)) {}

std::string ScheduledTask::name() const {
    return "PACEDECK - " + exe_;
}

std::string ScheduledTask::quotedName() const {
    return quote + name() + quote;
}

std::string ScheduledTask::program(std::string_view home) const {
    if (profile_.taskScheduler == TaskScheduler::Crontab && !ownFile_.empty()) return ownFile_;
    return profile_.join(home, exe_ + profile_.executableSuffix);
}

std::optional<std::pair<int, int>> ScheduledTask::parseRunTime(std::string_view text) {
    auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    int hour = 0;
    int minute = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == colon) continue;
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        (i < colon ? hour : minute) = (i < colon ? hour : minute) * 10 + (c - '0');
    }
    if (hour > 23 || minute > 59) return std::nullopt;
    return std::pair{hour, minute};
}

// ---------------------------------------------------------------- commands

std::string ScheduledTask::createCommand(std::string_view dayList, std::string_view home,
                                         std::string_view runTime) const {
    if (profile_.taskScheduler == TaskScheduler::SchTasks)
        return "SchTasks /Create /SC WEEKLY /D " + std::string(dayList) + "/TN " + quotedName() + " /TR " +
               quote + program(home) + quote + " /ST " + std::string(runTime);
    // The old line of this task, if any, gives way to the new one; the user's other lines stay.
    return "{ crontab -l 2>/dev/null | grep -v -F -e " + shQuoted(cronTag()) + "; printf '%s\\n' " +
           shQuoted(cronLine(dayList, home, runTime)) + "; } | crontab -";
}

std::string ScheduledTask::lineFault(std::string_view home) const {
    const bool inHome = profile_.taskScheduler == TaskScheduler::SchTasks || ownFile_.empty();
    if (auto fault = oneLineFault(program(home)); !fault.empty())
        return (inHome ? "THE HOME FOLDER" : "THE PROGRAM PATH") + std::string(" CANNOT BE USED: ") + fault;
    if (profile_.taskScheduler == TaskScheduler::Crontab)
        for (const auto& [variable, value] : session_.variables)
            if (auto fault = oneLineFault(value); !fault.empty())
                return variable + " CANNOT BE USED: " + fault;
    if (auto fault = oneLineFault(exe_); !fault.empty()) return "THE COPY'S NAME CANNOT BE USED: " + fault;
    return {};
}

std::string ScheduledTask::deleteCommand() const {
    if (profile_.taskScheduler == TaskScheduler::SchTasks)
        return "SchTasks /Delete /TN " + quotedName() + " /F";
    // Without a crontab there is nothing to delete; a crontab that cannot be read is left alone.
    return "if t=$(crontab -l 2>/dev/null); then printf '%s\\n' \"$t\" | grep -v -F -e " +
           shQuoted(cronTag()) + " | crontab -; fi";
}

std::string ScheduledTask::enableCommand() const {
    if (profile_.taskScheduler == TaskScheduler::SchTasks)
        return "SchTasks /Change /TN " + quotedName() + " /ENABLE";
    return "t=$(crontab -l) && printf '%s\\n' \"$t\" | awk -v tag=" + shQuoted(awkValue(cronTag())) +
           " 'index($0, tag) { sub(/^#+/, \"\") } { print }' | crontab -";
}

std::string ScheduledTask::disableCommand() const {
    if (profile_.taskScheduler == TaskScheduler::SchTasks)
        return "SchTasks /Change /TN " + quotedName() + " /DISABLE";
    return "t=$(crontab -l) && printf '%s\\n' \"$t\" | awk -v tag=" + shQuoted(awkValue(cronTag())) +
           " 'index($0, tag) && !/^#/ { $0 = \"#\" $0 } { print }' | crontab -";
}

std::string ScheduledTask::consoleCommand() const {
    if (profile_.taskScheduler == TaskScheduler::SchTasks)
        return quote + std::string("C:\\Windows\\system32\\taskschd.msc") + quote + " /s";
    return "crontab -e";
}

// ---------------------------------------------------------------- the crontab line

std::string ScheduledTask::cronTag() const {
    // As it stands in the line: a % of the copy's name would otherwise end the line's command there.
    return cronEscaped("# " + quotedName());
}

std::string ScheduledTask::cronDays(std::string_view dayList) const {
    // cron numbers the days from Sunday = 0 and takes no lists of names.
    static constexpr std::array<std::string_view, 7> names = {"SUN", "MON", "TUE", "WED",
                                                              "THU", "FRI", "SAT"};
    std::string out;
    int count = 0;
    for (std::size_t i = 0; i + 3 <= dayList.size(); ++i) {
        for (std::size_t d = 0; d < names.size(); ++d)
            if (dayList.substr(i, 3) == names[d]) {
                if (!out.empty()) out += ',';
                out += char('0' + d);
                ++count;
                i += 2;
                break;
            }
    }
    return count == 7 ? "*" : out;
}

std::string ScheduledTask::cronLine(std::string_view dayList, std::string_view home,
                                    std::string_view runTime) const {
    auto time = parseRunTime(runTime).value_or(std::pair{0, 0});
    std::string command = "env";
    for (const auto& [variable, value] : session_.variables)
        command += " " + variable + "=" + doubleQuoted(value);
    command += " " + doubleQuoted(program(home));
    return twoDigits(time.second) + " " + twoDigits(time.first) + " * * " + cronDays(dayList) + " " +
           cronEscaped(command) + " " + cronTag();
}

}  // namespace pd
