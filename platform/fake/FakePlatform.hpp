#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.hpp"

namespace pd {

// A platform made of plain data for the behaviour tests: a process table the test fills,
// files in a map, recorded launches and key presses.
class FakePlatform final : public Platform {
  public:
    struct Launch {
        std::string what;  // script path or command line
        bool script;
        WindowStyle style;
        std::string outputFile = {};  // where the script's output goes; empty: nowhere
    };
    // A process whose command line is known: its arguments after the program's name.
    struct Process {
        ProcessId id;
        std::string name;
        std::vector<std::string> arguments;
    };

    // State the test arranges.
    std::multiset<std::string> running;  // by name; ids from 1000 on, command lines unknown
    std::vector<Process> processList;    // beside them, with their command lines
    bool snapshotFails = false;
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::set<std::string> unwritable;  // paths (files or folders) whose writes fail
    std::map<std::string, std::uint64_t> folderSizes;
    std::map<LockKey, bool> locks;  // absent: unknown
    bool keyboardAvailable = true;
    std::string sleepLockFailure;  // when set, taking the sleep lock fails with it
    std::string commandFailure;    // when set, runCommand fails with it
    std::map<std::string, std::string> env;
    std::string computer = "TESTBOX";
    std::string user = "tester";
    std::string exeFolder = "/opt/pacedeck";
    std::string time = "12:00:00";
    std::string date = "07/12/2026";
    char thousands = ',';
    char decimal = '.';
    bool scriptsMustExist = true;  // runScript fails for a path not in files
    CommandResult commandResult;   // what every runAndWait or started command gives back
    // What a started command gives back instead, by a part of its command line.
    std::map<std::string, CommandResult> commandResults;
    std::function<std::int64_t()> wallClock = [] {
        return std::int64_t(1796747400);
    };                          // 2026-12-08T16:30:00Z
    bool commandsWait = false;  // when set, started commands run until finishCommands()

    // What the windows did.
    std::vector<Launch> launches;
    std::vector<LockKey> presses;
    std::vector<std::string> terminated;
    bool sleepInhibited = false;
    int folderSizeCalls = 0;
    // Started commands cancelled while they ran, and those dropped while they ran without a
    // cancel: on a real system that drop waits until the command ends.
    std::vector<std::string> cancelled;
    std::vector<std::string> droppedWhileRunning;

    std::unique_ptr<ProcessTable> processes() override;
    int terminateByName(std::string_view name) override;
    Outcome runScript(const std::string& path, WindowStyle style) override;
    Outcome runScriptKeepingOutput(const std::string& path, WindowStyle style,
                                   const std::string& outputFile) override;
    Outcome runCommand(const std::string& commandLine, WindowStyle style) override;
    // Recorded as a hidden launch of the command line.
    CommandResult runAndWait(const std::string& commandLine) override;
    // Recorded the same way; ends with commandResult at once, or at finishCommands().
    std::unique_ptr<RunningCommand> startCommand(const std::string& commandLine) override;
    // Ends every started command still running, with commandResult.
    void finishCommands();
    std::optional<std::string> readFile(const std::string& path) override;
    Outcome writeFile(const std::string& path, std::string_view bytes, bool executable,
                      bool privateToUser) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    Outcome trimFile(const std::string& path, std::uint64_t maxBytes, std::uint64_t keepBytes) override;
    Outcome removeFile(const std::string& path) override;
    Outcome createFolder(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::uint64_t> folderSize(const std::string& path) override;
    // The code page 1252 of a western Windows.
    Outcome batchText(std::string_view utf8, std::string& bytes) override;
    std::optional<bool> lockState(LockKey key) override;
    Outcome pressLockKey(LockKey key) override;
    Outcome inhibitSleep(bool on) override;
    std::string environment(std::string_view name) override;
    std::string computerName() override { return computer; }
    std::string userName() override { return user; }
    std::string executableFolder() override { return exeFolder; }
    std::string timeText() override { return time; }
    std::string dateText() override { return date; }
    std::int64_t unixTime() override { return wallClock(); }
    char thousandsSeparator() override { return thousands; }
    char decimalSeparator() override { return decimal; }

    std::vector<std::string> launched() const;  // paths or commands, in order

  private:
    std::vector<std::shared_ptr<std::optional<CommandResult>>> unfinished_;
};

}  // namespace pd
