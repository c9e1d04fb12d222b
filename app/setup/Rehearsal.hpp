#pragma once
#include <map>
#include <set>
#include <string>
#include <utility>

#include "core/SettingsStore.hpp"
#include "platform/Platform.hpp"

namespace pd::setup {

// A set-up file is first applied to these stand-ins, so that a file that cannot be applied
// whole changes nothing: reads see the real store and system through what the rehearsal
// itself wrote; writes, folders, started programs and key presses stay in memory.

class RehearsalStore final : public SettingsStore {
  public:
    explicit RehearsalStore(SettingsStore& real) : real_(real) {}
    StoredValue lookup(std::string_view section, std::string_view key) override;
    bool put(std::string_view section, std::string_view key, std::string_view value) override;
    std::string location(std::string_view section) const override { return real_.location(section); }

  private:
    SettingsStore& real_;
    std::map<std::pair<std::string, std::string>, std::string, std::less<>> written_;
};

// Commands that would be waited for are taken to succeed: what the system answers is only
// known when the file is applied for real.
class RehearsalPlatform final : public Platform {
  public:
    explicit RehearsalPlatform(Platform& real) : real_(real) {}

    std::unique_ptr<ProcessTable> processes() override { return real_.processes(); }
    int terminateByName(std::string_view) override { return 0; }
    Outcome runScript(const std::string& path, WindowStyle) override;
    Outcome runCommand(const std::string&, WindowStyle) override { return Outcome::success(); }
    CommandResult runAndWait(const std::string&) override { return {}; }
    std::unique_ptr<RunningCommand> startCommand(const std::string&) override {
        return std::make_unique<FinishedCommand>(CommandResult{});
    }
    Outcome batchText(std::string_view utf8, std::string& bytes) override {
        return real_.batchText(utf8, bytes);
    }
    std::optional<std::string> readFile(const std::string& path) override;
    Outcome writeFile(const std::string& path, std::string_view bytes, bool executable,
                      bool privateToUser) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    Outcome removeFile(const std::string& path) override;
    Outcome createFolder(const std::string& path) override;
    bool exists(const std::string& path) override;
    std::optional<std::uint64_t> folderSize(const std::string& path) override {
        return real_.folderSize(path);
    }
    std::optional<bool> lockState(LockKey key) override { return real_.lockState(key); }
    Outcome pressLockKey(LockKey) override { return Outcome::success(); }
    Outcome inhibitSleep(bool) override { return Outcome::success(); }
    std::string environment(std::string_view name) override { return real_.environment(name); }
    std::string computerName() override { return real_.computerName(); }
    std::string userName() override { return real_.userName(); }
    std::string executableFolder() override { return real_.executableFolder(); }
    std::string timeText() override { return real_.timeText(); }
    std::string dateText() override { return real_.dateText(); }
    char thousandsSeparator() override { return real_.thousandsSeparator(); }
    char decimalSeparator() override { return real_.decimalSeparator(); }

  private:
    // A file or folder can only be made inside a folder that exists.
    Outcome needParentOf(const std::string& path);

    Platform& real_;
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
};

}  // namespace pd::setup
