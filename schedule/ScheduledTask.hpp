#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Profile.hpp"

namespace pd {

class Platform;

// The variables a program started by cron needs to open its window in the user's
// graphical session, as they are in the session that creates the task.
struct GraphicalSession {
    std::vector<std::pair<std::string, std::string>> variables;
    static GraphicalSession of(Platform& platform);
};

// The weekly task of one copy of the program, as command lines for the system's task
// scheduler: SchTasks under Windows, a tagged line of the user's crontab under POSIX.
// The window shows each command exactly as it runs it.
class ScheduledTask {
  public:
    // ownFile: the running copy's own file, by the name it was started under (a link named
    // after the coin is a copy of its own); the crontab line starts that file.
    ScheduledTask(const Profile& profile, std::string exe, GraphicalSession session = {},
                  std::string ownFile = {});

    // "PACEDECK - " + EXE: each copy of the program has a task of its own.
    std::string name() const;
    // The program the task starts: under SchTasks the copy that lies directly in the home
    // folder; under cron the copy's own file when known, else the one in the home folder.
    std::string program(std::string_view home) const;

    // dayList is the SchTasks list, each day ending in a space or comma: "WED " or
    // "MON,TUE,WED,THU,FRI,SAT,SUN ". runTime must be a valid run time (isRunTime).
    std::string createCommand(std::string_view dayList, std::string_view home,
                              std::string_view runTime) const;
    std::string deleteCommand() const;
    std::string enableCommand() const;
    std::string disableCommand() const;
    // What cannot stand in the one line of the create command (the home folder, the program's
    // path, a variable of the session), named for the user; empty when everything can.
    std::string lineFault(std::string_view home) const;
    // Opens the system's own view of its scheduled tasks.
    std::string consoleCommand() const;

    // The crontab line of the task (POSIX).
    std::string cronLine(std::string_view dayList, std::string_view home, std::string_view runTime) const;

    // "H:MM" or "HH:MM", 24-hour: hour and minute.
    static std::optional<std::pair<int, int>> parseRunTime(std::string_view text);
    static bool isRunTime(std::string_view text) { return parseRunTime(text).has_value(); }

  private:
    std::string quotedName() const;  // the name between double quotes
    std::string cronTag() const;     // what marks the task's crontab line, as it stands there
    std::string cronDays(std::string_view dayList) const;

    const Profile& profile_;
    std::string exe_;
    GraphicalSession session_;
    std::string ownFile_;
};

}  // namespace pd
