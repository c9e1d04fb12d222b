#include "platform/fake/FakePlatform.hpp"

#include <algorithm>

#include "core/TextFile.hpp"

namespace pd {

namespace {
class FakeTable final : public ProcessTable {
  public:
    FakeTable(const std::multiset<std::string>& names, std::vector<FakePlatform::Process> processes)
        : processes_(std::move(processes)) {
        ProcessId id = 1000;
        for (const auto& name : names) processes_.push_back({id++, name, {}});
        known_ = processes_.size() - names.size();
    }
    bool has(std::string_view name) const override { return !idsOf(name, {}).empty(); }
    std::vector<ProcessId> idsOf(std::string_view name, const std::vector<std::string>& own) const override {
        std::vector<ProcessId> ids;
        for (std::size_t i = 0; i < processes_.size(); ++i) {
            const auto& p = processes_[i];
            if (p.name != name) continue;
            // Those of the plain name list have no command line to tell them by.
            const bool ours = own.empty() || i >= known_ ||
                              std::any_of(p.arguments.begin(), p.arguments.end(), [&](const auto& a) {
                                  return std::find(own.begin(), own.end(), a) != own.end();
                              });
            if (ours) ids.push_back(p.id);
        }
        return ids;
    }

  private:
    std::vector<FakePlatform::Process> processes_;
    std::size_t known_ = 0;  // the first ones, whose command lines are known
};
}  // namespace

std::unique_ptr<ProcessTable> FakePlatform::processes() {
    if (snapshotFails) return nullptr;
    return std::make_unique<FakeTable>(running, processList);
}

int FakePlatform::terminateByName(std::string_view name) {
    terminated.emplace_back(name);
    auto n = static_cast<int>(running.count(std::string(name)));
    running.erase(std::string(name));
    n += static_cast<int>(std::erase_if(processList, [&](const Process& p) { return p.name == name; }));
    return n;
}

Outcome FakePlatform::runScript(const std::string& path, WindowStyle style) {
    if (scriptsMustExist && !files.contains(path)) return Outcome::failure("no such file: " + path);
    launches.push_back({path, true, style});
    return Outcome::success();
}

Outcome FakePlatform::runScriptKeepingOutput(const std::string& path, WindowStyle style,
                                             const std::string& outputFile) {
    auto started = runScript(path, style);
    if (started) launches.back().outputFile = outputFile;
    return started;
}

Outcome FakePlatform::runCommand(const std::string& commandLine, WindowStyle style) {
    if (!commandFailure.empty()) return Outcome::failure(commandFailure);
    launches.push_back({commandLine, false, style});
    return Outcome::success();
}

CommandResult FakePlatform::runAndWait(const std::string& commandLine) {
    launches.push_back({commandLine, false, WindowStyle::Hidden});
    return commandResult;
}

namespace {
class FakeRunningCommand final : public RunningCommand {
  public:
    FakeRunningCommand(FakePlatform& platform, std::string commandLine,
                       std::shared_ptr<std::optional<CommandResult>> result)
        : platform_(platform), commandLine_(std::move(commandLine)), result_(std::move(result)) {}
    ~FakeRunningCommand() override {
        if (!*result_) platform_.droppedWhileRunning.push_back(commandLine_);
    }
    FakeRunningCommand(const FakeRunningCommand&) = delete;
    FakeRunningCommand& operator=(const FakeRunningCommand&) = delete;
    std::optional<CommandResult> poll() override { return *result_; }
    void cancel() override {
        if (*result_) return;
        platform_.cancelled.push_back(commandLine_);
        result_ = std::make_shared<std::optional<CommandResult>>(CommandResult{true, -1, "(cancelled)"});
    }

  private:
    FakePlatform& platform_;
    std::string commandLine_;
    std::shared_ptr<std::optional<CommandResult>> result_;
};
}  // namespace

std::unique_ptr<RunningCommand> FakePlatform::startCommand(const std::string& commandLine) {
    launches.push_back({commandLine, false, WindowStyle::Hidden});
    auto result = std::make_shared<std::optional<CommandResult>>();
    auto answer = commandResult;
    for (const auto& [part, given] : commandResults)
        if (commandLine.find(part) != std::string::npos) answer = given;
    if (!commandFailure.empty())
        *result = CommandResult{false, -1, commandFailure};
    else if (commandsWait)
        unfinished_.push_back(result);
    else
        *result = answer;
    return std::make_unique<FakeRunningCommand>(*this, commandLine, result);
}

void FakePlatform::finishCommands() {
    for (auto& r : unfinished_) *r = commandResult;
    unfinished_.clear();
}

std::optional<std::string> FakePlatform::readFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
}

Outcome FakePlatform::writeFile(const std::string& path, std::string_view bytes, bool, bool) {
    if (unwritable.contains(path)) return Outcome::failure("cannot write " + path);
    auto slash = path.find_last_of("/\\");
    if (slash != std::string::npos) {
        auto folder = path.substr(0, slash);
        if (unwritable.contains(folder)) return Outcome::failure("cannot write " + path);
        if (!folders.empty() && !folders.contains(folder))
            return Outcome::failure("no such folder: " + folder);
    }
    files[path] = std::string(bytes);
    return Outcome::success();
}

Outcome FakePlatform::replaceFile(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end()) return Outcome::failure("no such file: " + from);
    if (unwritable.contains(to)) return Outcome::failure("cannot write " + to);
    files[to] = std::move(it->second);
    files.erase(from);
    return Outcome::success();
}

Outcome FakePlatform::trimFile(const std::string& path, std::uint64_t maxBytes, std::uint64_t keepBytes) {
    auto it = files.find(path);
    if (it != files.end() && it->second.size() > maxBytes)
        it->second = std::string(tailFromLineStart(it->second, keepBytes));
    return Outcome::success();
}

Outcome FakePlatform::removeFile(const std::string& path) {
    if (unwritable.contains(path)) return Outcome::failure("cannot remove " + path);
    files.erase(path);
    return Outcome::success();
}

Outcome FakePlatform::createFolder(const std::string& path) {
    if (unwritable.contains(path)) return Outcome::failure("cannot create " + path);
    folders.insert(path);
    return Outcome::success();
}

bool FakePlatform::exists(const std::string& path) {
    return files.contains(path) || folders.contains(path);
}

Outcome FakePlatform::batchText(std::string_view utf8, std::string& bytes) {
    return windows1252Text(utf8, bytes);
}

std::optional<std::uint64_t> FakePlatform::folderSize(const std::string& path) {
    ++folderSizeCalls;
    auto it = folderSizes.find(path);
    if (it == folderSizes.end()) return std::nullopt;
    return it->second;
}

std::optional<bool> FakePlatform::lockState(LockKey key) {
    if (!keyboardAvailable) return std::nullopt;
    auto it = locks.find(key);
    if (it == locks.end()) return false;
    return it->second;
}

Outcome FakePlatform::pressLockKey(LockKey key) {
    if (!keyboardAvailable) return Outcome::failure("no keyboard");
    presses.push_back(key);
    locks[key] = !locks[key];
    return Outcome::success();
}

Outcome FakePlatform::inhibitSleep(bool on) {
    if (on && !sleepLockFailure.empty()) return Outcome::failure(sleepLockFailure);
    sleepInhibited = on;
    return Outcome::success();
}

std::string FakePlatform::environment(std::string_view name) {
    auto it = env.find(std::string(name));
    return it == env.end() ? std::string() : it->second;
}

std::vector<std::string> FakePlatform::launched() const {
    std::vector<std::string> out;
    for (auto& l : launches) out.push_back(l.what);
    return out;
}

}  // namespace pd
