#pragma once
#include <string>

#include "platform/Platform.hpp"

namespace pd::win32 {

// The platform on Windows, through the wide-character Win32 API: Toolhelp32 for
// processes, cmd.exe for scripts and commands, the console's code page for batch files.
class Win32Platform final : public Platform {
  public:
    Win32Platform() = default;
    ~Win32Platform() override;

    std::unique_ptr<ProcessTable> processes() override;
    int terminateByName(std::string_view name) override;
    Outcome runScript(const std::string& path, WindowStyle style) override;
    Outcome runCommand(const std::string& commandLine, WindowStyle style) override;
    CommandResult runAndWait(const std::string& commandLine) override;
    std::unique_ptr<RunningCommand> startCommand(const std::string& commandLine) override;
    std::optional<std::string> readFile(const std::string& path) override;
    Outcome writeFile(const std::string& path, std::string_view bytes, bool executable,
                      bool privateToUser) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    Outcome removeFile(const std::string& path) override;
    Outcome createFolder(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::uint64_t> folderSize(const std::string& path) override;
    Outcome batchText(std::string_view utf8, std::string& bytes) override;
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
    bool sleepHeld_ = false;
};

// The command line that has cmd.exe run `command` and end: /d skips the user's AutoRun
// commands, /v:off keeps a "!" as it is where the user's registry turns delayed expansion on
// (in the batch files it runs as well), /s with the outer quotes hands cmd the command exactly
// as written.
std::wstring cmdLineFor(std::string_view command);
// The full path of this program's file.
std::string ownProgramPath();

}  // namespace pd::win32
