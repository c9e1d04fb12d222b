#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.hpp"

namespace pd::win32 {

struct ProcessEntry {
    unsigned long pid = 0;
    std::wstring image;  // "bitcoind.exe"
};

// One Toolhelp32 snapshot of the running processes. Image names compare without regard to
// letter case, as Windows itself treats file names.
class ProcessList final : public ProcessTable {
  public:
    explicit ProcessList(std::vector<ProcessEntry> processes) : processes_(std::move(processes)) {}
    // nullopt when the snapshot cannot be taken.
    static std::optional<ProcessList> take();

    bool has(std::string_view name) const override;
    // By name alone: a Toolhelp32 snapshot holds no command lines.
    std::vector<ProcessId> idsOf(std::string_view name, const std::vector<std::string>&) const override {
        const auto pids = pidsOf(name);
        return {pids.begin(), pids.end()};
    }
    std::vector<unsigned long> pidsOf(std::string_view name) const;

  private:
    std::vector<ProcessEntry> processes_;
};

// Ends every process of that image name except this one; returns how many were ended.
int terminateAllNamed(std::string_view name);

}  // namespace pd::win32
