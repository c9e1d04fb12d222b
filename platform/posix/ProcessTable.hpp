#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/Platform.hpp"

namespace pd {

// The names under which one process can be known: its kernel name (at most 15
// characters), the base name of its executable and of its first argument, and the first
// word of a title it gave itself (a mailer rewrites its own command line).
struct ProcessNames {
    int pid = 0;
    std::string comm;
    std::string exeBase;
    std::string arg0Base;
    std::string titleWord;
};

// One snapshot of /proc.
class ProcTable final : public ProcessTable {
public:
    explicit ProcTable(std::vector<ProcessNames> processes);
    bool has(std::string_view name) const override;
    std::vector<int> pidsOf(std::string_view name) const;
    std::size_t size() const { return processes_.size(); }

    static bool matches(const ProcessNames& p, std::string_view name);
    // Reads /proc; nullopt when /proc cannot be read at all.
    static std::optional<std::vector<ProcessNames>> read();

private:
    std::vector<ProcessNames> processes_;
    std::unordered_set<std::string> names_;
};

}  // namespace pd
