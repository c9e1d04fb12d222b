#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
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

// One snapshot of /proc. Snapshots share the list they were made from: the scanner makes
// a new one only when a process started, ended or changed its name.
class ProcTable final : public ProcessTable {
  public:
    using List = std::shared_ptr<const std::vector<ProcessNames>>;
    explicit ProcTable(std::vector<ProcessNames> processes);
    explicit ProcTable(List processes) : processes_(std::move(processes)) {}
    bool has(std::string_view name) const override;
    // Reads the command lines of the processes of that name only, when it is asked.
    std::vector<ProcessId> idsOf(std::string_view name,
                                 const std::vector<std::string>& ownArguments) const override;
    std::vector<int> pidsOf(std::string_view name) const;
    std::size_t size() const { return processes_->size(); }

    static bool matches(const ProcessNames& p, std::string_view name);
    // Whether the command line (arguments each ended by a NUL, as /proc gives it) holds one
    // of the arguments, after the program's own name.
    static bool holdsArgument(std::string_view commandLine, const std::vector<std::string>& arguments);
    // Reads /proc afresh; nullopt when /proc cannot be read at all.
    static std::optional<std::vector<ProcessNames>> read();

  private:
    List processes_;
};

// How often the scanner rereads names it knows (below).
struct ScanTiming {
    std::int64_t youngMs = 10000;
    std::int64_t recheckMs = 1500;  // within two seconds, with room for a late tick
    std::int64_t relistMs = 2000;   // the longest a listing of /proc is trusted unchanged
};

// Takes snapshots of /proc four times a second at little cost. A scan lists /proc whenever
// a process may have started or ended, so that is seen at once. Names are not all read
// again: a young process (one that appeared less than youngMs ago; scripts exec the node
// right after they start) is read on every scan, any other one every recheckMs, the
// rechecks spread over the scans. A name is reread from the process's name file kept
// open, and its executable and command line only when the name changed (an exec, or a
// program renaming itself). A process that ends makes its open file fail, and a reused
// process id comes with a new /proc entry, so the new process is read afresh.
class ProcessScanner {
  public:
    using Timing = ScanTiming;
    // Milliseconds on a monotonic scale; tests drive their own.
    using Now = std::function<std::int64_t()>;

    // Keeps at most half of the files this program may open (the rest of the program
    // needs files too); processes past that are opened afresh on every read.
    ProcessScanner();
    explicit ProcessScanner(std::size_t maxOpenFiles, Timing timing = {}, Now now = {});
    ProcessScanner(const ProcessScanner&) = delete;
    ProcessScanner& operator=(const ProcessScanner&) = delete;
    ~ProcessScanner();

    // nullptr when /proc cannot be listed.
    ProcTable::List scan();
    // How many names the last scan read (the rest were known and not due).
    std::size_t namesRead() const { return namesRead_; }

  private:
    struct Known {
        int pid = 0;
        std::uint64_t inode = 0;  // of the /proc entry: a reused id comes with a new one
        int commFd = -1;          // -1: not kept open (past the limit)
        std::int64_t youngUntil = 0;
        std::int64_t nextCheck = 0;
        ProcessNames names;
    };
    struct Listed {
        int pid;
        std::uint64_t inode;
        bool operator<(const Listed& o) const { return pid < o.pid; }
    };
    // Reads the name again; false when the process has gone. Sets changed_ on a new name.
    bool reread(Known& known, std::int64_t now);
    // Reads a process met for the first time; false when it has gone already.
    bool readNew(Known& known);
    void forget(Known& known);
    // The number of tasks and the last process id handed out ("" when unknown).
    std::string taskStamp();
    // Rereads the names due without listing /proc; false when one process has gone.
    bool rereadDue(std::int64_t now);
    // A new snapshot from the processes known.
    void publish();

    int procFd_ = -1;
    int loadavgFd_ = -1;
    std::string stamp_;  // as of the last listing
    std::int64_t nextListing_ = 0;
    std::size_t maxOpen_;
    std::size_t open_ = 0;
    Timing timing_;
    Now now_;
    bool firstScan_ = true;
    bool changed_ = false;
    std::size_t namesRead_ = 0;
    std::vector<Known> known_;  // by process id
    std::vector<Known> next_;
    std::vector<Listed> listed_;
    ProcTable::List snapshot_;
};

}  // namespace pd
