#include "platform/posix/ProcessTable.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/posix/Getdents.hpp"

namespace pd {

namespace {
std::string baseName(std::string_view path) {
    auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// "1234/" + leaf, relative to /proc: no folder needs opening per process.
struct ProcPath {
    ProcPath(int pid, const char* leaf) { std::snprintf(text.data(), text.size(), "%d/%s", pid, leaf); }
    const char* c_str() const { return text.data(); }
    std::string absolute() const { return std::string("/proc/") + text.data(); }
    std::array<char, 48> text{};
};

// The first bytes of a file, in one read: a process name and the first argument fit.
std::string readHead(int fd) {
    std::array<char, 4096> buf;
    const auto n = ::pread(fd, buf.data(), buf.size(), 0);
    return n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string();
}

// A whole file of /proc, up to a bound.
std::string readAll(int fd, std::size_t bound) {
    std::string text;
    std::array<char, 4096> buf;
    while (text.size() < bound) {
        const auto n = ::read(fd, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        text.append(buf.data(), static_cast<std::size_t>(n));
    }
    return text;
}

std::int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string commOf(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// The executable and the first argument; both may change only when the name does.
void readOtherNames(int procFd, ProcessNames& p) {
    p.exeBase.clear();
    p.arg0Base.clear();
    p.titleWord.clear();
    // Other users' executables cannot be resolved; their names still can.
    std::array<char, 4096> link{};
    const auto n = ::readlinkat(procFd, ProcPath(p.pid, "exe").c_str(), link.data(), link.size() - 1);
    if (n > 0) {
        std::string_view target(link.data(), static_cast<std::size_t>(n));
        if (target.ends_with(" (deleted)")) target.remove_suffix(10);
        p.exeBase = baseName(target);
    }
    const int fd = ::openat(procFd, ProcPath(p.pid, "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    const auto cmdline = readHead(fd);
    ::close(fd);
    if (cmdline.empty()) return;
    const std::string_view arg0(cmdline.data(), std::min(cmdline.find('\0'), cmdline.size()));
    p.arg0Base = baseName(arg0);
    // A program that rewrote its title ("sendemail -f me@x ...") keeps its name as the
    // title's first word.
    const auto space = arg0.find(' ');
    if (space != std::string_view::npos) p.titleWord = baseName(arg0.substr(0, space));
}

}  // namespace

// ---------------------------------------------------------------- ProcTable

ProcTable::ProcTable(std::vector<ProcessNames> processes)
    : processes_(std::make_shared<const std::vector<ProcessNames>>(std::move(processes))) {}

bool ProcTable::matches(const ProcessNames& p, std::string_view name) {
    if (name.empty()) return false;
    // The kernel keeps only the first 15 characters of a process name.
    if (p.comm == name || (p.comm.size() == 15 && name.size() > 15 && name.substr(0, 15) == p.comm))
        return true;
    return p.exeBase == name || p.arg0Base == name || p.titleWord == name;
}

bool ProcTable::has(std::string_view name) const {
    // A few lookups per snapshot: a plain scan is cheaper than building an index.
    return std::any_of(processes_->begin(), processes_->end(),
                       [name](const auto& p) { return matches(p, name); });
}

bool ProcTable::holdsArgument(std::string_view commandLine, const std::vector<std::string>& arguments) {
    auto rest = commandLine.substr(std::min(commandLine.find('\0'), commandLine.size()));
    while (!rest.empty()) {
        rest.remove_prefix(1);  // the NUL before this argument
        const auto argument = rest.substr(0, std::min(rest.find('\0'), rest.size()));
        if (std::find(arguments.begin(), arguments.end(), argument) != arguments.end()) return true;
        rest.remove_prefix(argument.size());
    }
    return false;
}

std::vector<ProcessId> ProcTable::idsOf(std::string_view name,
                                        const std::vector<std::string>& ownArguments) const {
    std::vector<ProcessId> ids;
    for (const auto& p : *processes_) {
        if (!matches(p, name)) continue;
        if (ownArguments.empty()) {
            ids.push_back(p.pid);
            continue;
        }
        // Another user's command line may be hidden from us (hidepid): by name then. A process
        // that has ended since the snapshot, or a zombie, has none and is no longer running.
        const int fd = ::open(ProcPath(p.pid, "cmdline").absolute().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == EACCES || errno == EPERM) ids.push_back(p.pid);
            continue;
        }
        const auto commandLine = readAll(fd, 256 * 1024);
        ::close(fd);
        if (holdsArgument(commandLine, ownArguments)) ids.push_back(p.pid);
    }
    return ids;
}

std::vector<int> ProcTable::pidsOf(std::string_view name) const {
    std::vector<int> pids;
    for (const auto& p : *processes_)
        if (matches(p, name)) pids.push_back(p.pid);
    return pids;
}

std::optional<std::vector<ProcessNames>> ProcTable::read() {
    auto list = ProcessScanner(0).scan();
    if (!list) return std::nullopt;
    return *list;
}

// ---------------------------------------------------------------- ProcessScanner

ProcessScanner::ProcessScanner() : ProcessScanner(256) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        maxOpen_ = std::clamp<std::size_t>(limit.rlim_cur / 2, 256, 16384);
}

ProcessScanner::ProcessScanner(std::size_t maxOpenFiles, Timing timing, Now now)
    : maxOpen_(maxOpenFiles), timing_(timing), now_(now ? std::move(now) : Now(&steadyMs)) {}

ProcessScanner::~ProcessScanner() {
    for (auto& known : known_) forget(known);
    if (loadavgFd_ >= 0) ::close(loadavgFd_);
    if (procFd_ >= 0) ::close(procFd_);
}

void ProcessScanner::forget(Known& known) {
    if (known.commFd >= 0) {
        ::close(known.commFd);
        --open_;
    }
    known.commFd = -1;
}

bool ProcessScanner::reread(Known& known, std::int64_t now) {
    ++namesRead_;
    int fd = known.commFd;
    if (fd < 0) fd = ::openat(procFd_, ProcPath(known.pid, "comm").c_str(), O_RDONLY | O_CLOEXEC);
    auto comm = fd >= 0 ? readHead(fd) : std::string();
    if (known.commFd < 0 && fd >= 0) ::close(fd);
    if (comm.empty()) {
        // That process has ended; the id may already be a new one's.
        forget(known);
        known.youngUntil = now + timing_.youngMs;
        return readNew(known);
    }
    comm = commOf(std::move(comm));
    if (comm != known.names.comm) {
        known.names.comm = std::move(comm);
        readOtherNames(procFd_, known.names);
        changed_ = true;
    }
    return true;
}

bool ProcessScanner::readNew(Known& known) {
    ++namesRead_;
    changed_ = true;
    const int fd = ::openat(procFd_, ProcPath(known.pid, "comm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // gone since the listing
    auto comm = readHead(fd);
    if (comm.empty()) {
        ::close(fd);
        return false;
    }
    known.names.pid = known.pid;
    known.names.comm = commOf(std::move(comm));
    readOtherNames(procFd_, known.names);
    if (open_ < maxOpen_) {
        known.commFd = fd;
        ++open_;
    } else {
        ::close(fd);
    }
    return true;
}

std::string ProcessScanner::taskStamp() {
    if (loadavgFd_ < 0) loadavgFd_ = ::openat(procFd_, "loadavg", O_RDONLY | O_CLOEXEC);
    if (loadavgFd_ < 0) return {};
    // "0.52 0.58 0.59 2/613 41234": the tasks that exist and the last process id handed out.
    auto text = readHead(loadavgFd_);
    const auto slash = text.find('/');
    return slash == std::string::npos ? std::string() : text.substr(slash + 1);
}

bool ProcessScanner::rereadDue(std::int64_t now) {
    changed_ = false;
    for (auto& known : known_) {
        if (now < known.youngUntil || now >= known.nextCheck) {
            if (!reread(known, now)) return false;
            known.nextCheck = now + timing_.recheckMs;
        }
    }
    return true;
}

ProcTable::List ProcessScanner::scan() {
    if (procFd_ < 0) procFd_ = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd_ < 0) return nullptr;
    const auto now = now_();
    namesRead_ = 0;

    // Listing /proc is most of a scan's cost. No process can have started or ended while
    // no process id was handed out and the number of tasks stayed the same (an end alone
    // lowers it), so the last listing still holds then; the names due are reread all the
    // same. Now and then the listing is taken anyway.
    auto stamp = taskStamp();
    if (!stamp.empty() && stamp == stamp_ && now < nextListing_ && rereadDue(now)) {
        if (changed_) publish();
        return snapshot_;
    }
    stamp_ = std::move(stamp);
    nextListing_ = now + timing_.relistMs;

    if (::lseek(procFd_, 0, SEEK_SET) != 0) return nullptr;
    listed_.clear();
    std::array<char, 32 * 1024> buffer;
    const bool listed = forEachEntry(procFd_, buffer.data(), buffer.size(),
                                     [&](const char* name, unsigned char, std::uint64_t inode) {
                                         if (*name >= '1' && *name <= '9')
                                             listed_.push_back({std::atoi(name), inode});
                                         return true;
                                     });
    if (!listed) {
        stamp_.clear();
        return nullptr;
    }
    // /proc lists processes by id; sorting is only a safeguard.
    if (!std::is_sorted(listed_.begin(), listed_.end())) std::sort(listed_.begin(), listed_.end());

    changed_ = false;
    next_.clear();
    next_.reserve(listed_.size());
    auto old = known_.begin();
    for (const auto& entry : listed_) {
        for (; old != known_.end() && old->pid < entry.pid; ++old) {
            forget(*old);  // ended
            changed_ = true;
        }
        const bool same = old != known_.end() && old->pid == entry.pid && old->inode == entry.inode;
        Known known;
        bool present = true;
        if (same) {
            known = std::move(*old);
            if (now < known.youngUntil || now >= known.nextCheck) {
                present = reread(known, now);
                known.nextCheck = now + timing_.recheckMs;
            }
        } else {
            if (old != known_.end() && old->pid == entry.pid) forget(*old);  // the id was reused
            known.pid = entry.pid;
            known.inode = entry.inode;
            // Those there before us are not young; the first rechecks are spread over
            // one period so that no scan rereads them all.
            known.youngUntil = firstScan_ ? now : now + timing_.youngMs;
            known.nextCheck = now + (firstScan_ ? entry.pid % std::max<std::int64_t>(timing_.recheckMs, 1)
                                                : timing_.recheckMs);
            present = readNew(known);
        }
        if (old != known_.end() && old->pid == entry.pid) ++old;
        if (present)
            next_.push_back(std::move(known));
        else
            changed_ = true;
    }
    for (; old != known_.end(); ++old) {
        forget(*old);
        changed_ = true;
    }
    known_.swap(next_);
    firstScan_ = false;
    if (changed_ || !snapshot_) publish();
    return snapshot_;
}

void ProcessScanner::publish() {
    std::vector<ProcessNames> names;
    names.reserve(known_.size());
    for (const auto& known : known_) names.push_back(known.names);
    snapshot_ = std::make_shared<const std::vector<ProcessNames>>(std::move(names));
}

}  // namespace pd
