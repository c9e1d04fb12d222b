#pragma once
#include <optional>
#include <string>
#include <unordered_map>
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
    // Reads /proc afresh; nullopt when /proc cannot be read at all.
    static std::optional<std::vector<ProcessNames>> read();

  private:
    std::vector<ProcessNames> processes_;
};

// Takes snapshots of /proc four times a second at little cost: it keeps each process's
// name file open and rereads only that, one system call per process, and reads the
// executable and the command line again only when the name changed (an exec, or a
// program renaming itself). A process that ends makes its open file fail, so a reused
// process id is read afresh.
class ProcessScanner {
  public:
    // Keeps at most half of the files this program may open (the rest of the program
    // needs files too); processes past that are read whole on every scan.
    ProcessScanner();
    explicit ProcessScanner(std::size_t maxOpenFiles) : maxOpen_(maxOpenFiles) {}
    ProcessScanner(const ProcessScanner&) = delete;
    ProcessScanner& operator=(const ProcessScanner&) = delete;
    ~ProcessScanner();

    // nullopt when /proc cannot be listed.
    std::optional<std::vector<ProcessNames>> scan();

  private:
    struct Known {
        int commFd = -1;  // -1: not kept open (past the limit)
        ProcessNames names;
        bool listed = false;
    };
    bool refresh(int pid, const char* pidText, Known& known);
    void forget(Known& known);

    int procFd_ = -1;
    std::size_t maxOpen_;
    std::size_t open_ = 0;
    std::unordered_map<int, Known> known_;
};

}  // namespace pd
