#pragma once
#include <string>
#include <vector>

#include "platform/Platform.hpp"
#include "platform/posix/ProcessTable.hpp"
#include "platform/posix/SleepInhibitor.hpp"
#include "platform/posix/X11Keyboard.hpp"

namespace pd {

// The platform on Linux and other POSIX systems: /proc for processes, /bin/sh for
// scripts, plain files, and the user's environment.
class PosixPlatform : public Platform {
  public:
    PosixPlatform() = default;
    ~PosixPlatform() override;

    std::unique_ptr<ProcessTable> processes() override;
    int terminateByName(std::string_view name) override;
    Outcome runScript(const std::string& path, WindowStyle style) override;
    Outcome runScriptKeepingOutput(const std::string& path, WindowStyle style,
                                   const std::string& outputFile) override;
    Outcome runCommand(const std::string& commandLine, WindowStyle style) override;
    CommandResult runAndWait(const std::string& commandLine) override;
    std::unique_ptr<RunningCommand> startCommand(const std::string& commandLine) override;
    std::optional<std::string> readFile(const std::string& path) override;
    std::optional<std::string> readFileHead(const std::string& path, std::size_t maxBytes) override;
    Outcome appendFile(const std::string& path, std::string_view bytes) override;
    Outcome writeFile(const std::string& path, std::string_view bytes, bool executable,
                      bool privateToUser) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    Outcome trimFile(const std::string& path, std::uint64_t maxBytes, std::uint64_t keepBytes) override;
    Outcome removeFile(const std::string& path) override;
    Outcome createFolder(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::uint64_t> folderSize(const std::string& path) override;
    std::optional<bool> lockState(LockKey key) override;
    Outcome pressLockKey(LockKey key) override;
    Outcome inhibitSleep(bool on) override;
    std::string environment(std::string_view name) override;
    std::string computerName() override;
    std::string userName() override;
    std::string executableFolder() override;
    std::string timeText() override;
    std::string dateText() override;
    char thousandsSeparator() override;
    char decimalSeparator() override;

  private:
    ProcessScanner scanner_;    // the process watcher's snapshots, four a second
    X11Keyboard keyboard_;      // opens the display when first asked
    SleepInhibitor sleepLock_;  // given back at the latest when we end
};

// Starts argv detached from us (new session, no zombie left behind), its output and errors
// to outputFd when one is given.
Outcome spawnDetached(const std::vector<std::string>& argv, int outputFd = -1);

}  // namespace pd
