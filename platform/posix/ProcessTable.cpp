#include "platform/posix/ProcessTable.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
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
    ProcPath(const char* pidText, const char* leaf) {
        std::snprintf(text.data(), text.size(), "%.20s/%s", pidText, leaf);
    }
    const char* c_str() const { return text.data(); }
    std::array<char, 48> text{};
};

// The first bytes of a file, in one read: a process name and the first argument fit.
std::string readHead(int fd) {
    std::array<char, 4096> buf;
    const auto n = ::pread(fd, buf.data(), buf.size(), 0);
    return n > 0 ? std::string(buf.data(), static_cast<std::size_t>(n)) : std::string();
}

std::string commOf(std::string text) {
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// The executable and the first argument; both may change only when the name does.
void readOtherNames(int procFd, const char* pidText, ProcessNames& p) {
    p.exeBase.clear();
    p.arg0Base.clear();
    p.titleWord.clear();
    // Other users' executables cannot be resolved; their names still can.
    std::array<char, 4096> link{};
    const auto n = ::readlinkat(procFd, ProcPath(pidText, "exe").c_str(), link.data(), link.size() - 1);
    if (n > 0) {
        std::string_view target(link.data(), static_cast<std::size_t>(n));
        if (target.ends_with(" (deleted)")) target.remove_suffix(10);
        p.exeBase = baseName(target);
    }
    const int fd = ::openat(procFd, ProcPath(pidText, "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
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

ProcTable::ProcTable(std::vector<ProcessNames> processes) : processes_(std::move(processes)) {}

bool ProcTable::matches(const ProcessNames& p, std::string_view name) {
    if (name.empty()) return false;
    // The kernel keeps only the first 15 characters of a process name.
    if (p.comm == name || (p.comm.size() == 15 && name.size() > 15 && name.substr(0, 15) == p.comm))
        return true;
    return p.exeBase == name || p.arg0Base == name || p.titleWord == name;
}

bool ProcTable::has(std::string_view name) const {
    // A few lookups per snapshot: a plain scan is cheaper than building an index.
    return std::any_of(processes_.begin(), processes_.end(),
                       [name](const auto& p) { return matches(p, name); });
}

std::vector<int> ProcTable::pidsOf(std::string_view name) const {
    std::vector<int> pids;
    for (const auto& p : processes_)
        if (matches(p, name)) pids.push_back(p.pid);
    return pids;
}

std::optional<std::vector<ProcessNames>> ProcTable::read() {
    return ProcessScanner(0).scan();
}

// ---------------------------------------------------------------- ProcessScanner

ProcessScanner::ProcessScanner() : maxOpen_(256) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        maxOpen_ = std::clamp<std::size_t>(limit.rlim_cur / 2, 256, 16384);
}

ProcessScanner::~ProcessScanner() {
    for (auto& [pid, known] : known_) forget(known);
    if (procFd_ >= 0) ::close(procFd_);
}

void ProcessScanner::forget(Known& known) {
    if (known.commFd >= 0) {
        ::close(known.commFd);
        --open_;
    }
    known.commFd = -1;
}

bool ProcessScanner::refresh(int pid, const char* pidText, Known& known) {
    if (known.commFd >= 0) {
        auto comm = readHead(known.commFd);
        if (!comm.empty()) {
            comm = commOf(std::move(comm));
            if (comm != known.names.comm) {
                known.names.comm = std::move(comm);
                readOtherNames(procFd_, pidText, known.names);
            }
            return true;
        }
        forget(known);  // that process has ended; the id may be a new one's
    }
    const int fd = ::openat(procFd_, ProcPath(pidText, "comm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;  // gone since the listing
    auto comm = readHead(fd);
    if (comm.empty()) {
        ::close(fd);
        return false;
    }
    known.names.pid = pid;
    known.names.comm = commOf(std::move(comm));
    readOtherNames(procFd_, pidText, known.names);
    if (open_ < maxOpen_) {
        known.commFd = fd;
        ++open_;
    } else {
        ::close(fd);
    }
    return true;
}

std::optional<std::vector<ProcessNames>> ProcessScanner::scan() {
    if (procFd_ < 0) procFd_ = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (procFd_ < 0 || ::lseek(procFd_, 0, SEEK_SET) != 0) return std::nullopt;
    for (auto& [pid, known] : known_) known.listed = false;

    std::vector<ProcessNames> out;
    out.reserve(known_.size() + 16);
    std::array<char, 32 * 1024> buffer;
    const bool listed =
        forEachEntry(procFd_, buffer.data(), buffer.size(), [&](const char* name, unsigned char) {
            if (*name < '1' || *name > '9') return true;
            const int pid = std::atoi(name);
            auto& known = known_[pid];
            if (refresh(pid, name, known)) {
                known.listed = true;
                out.push_back(known.names);
            }
            return true;
        });
    if (!listed) return std::nullopt;
    for (auto it = known_.begin(); it != known_.end();) {
        if (it->second.listed) {
            ++it;
        } else {
            forget(it->second);
            it = known_.erase(it);
        }
    }
    return out;
}

}  // namespace pd
