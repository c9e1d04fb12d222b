#include "platform/posix/ProcessTable.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>

namespace pd {

namespace {
std::string baseName(std::string_view path) {
    auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Reads a small /proc file whole through a directory descriptor.
std::string readSmall(int dirFd, const char* name) {
    int fd = ::openat(dirFd, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    std::array<char, 4096> buf{};
    std::string out;
    for (;;) {
        auto n = ::read(fd, buf.data(), buf.size());
        if (n <= 0) break;
        out.append(buf.data(), static_cast<std::size_t>(n));
        if (out.size() >= 4096) break;
    }
    ::close(fd);
    return out;
}
}  // namespace

ProcTable::ProcTable(std::vector<ProcessNames> processes) : processes_(std::move(processes)) {
    for (const auto& p : processes_)
        for (const auto* n : {&p.comm, &p.exeBase, &p.arg0Base, &p.titleWord})
            if (!n->empty()) names_.insert(*n);
}

bool ProcTable::matches(const ProcessNames& p, std::string_view name) {
    if (name.empty()) return false;
    // The kernel keeps only the first 15 characters of a process name.
    if (p.comm == name || (p.comm.size() == 15 && name.size() > 15 && name.substr(0, 15) == p.comm)) return true;
    return p.exeBase == name || p.arg0Base == name || p.titleWord == name;
}

bool ProcTable::has(std::string_view name) const {
    if (name.empty()) return false;
    if (names_.contains(std::string(name))) return true;
    if (name.size() > 15 && names_.contains(std::string(name.substr(0, 15)))) {
        for (const auto& p : processes_)
            if (matches(p, name)) return true;
    }
    return false;
}

std::vector<int> ProcTable::pidsOf(std::string_view name) const {
    std::vector<int> pids;
    for (const auto& p : processes_)
        if (matches(p, name)) pids.push_back(p.pid);
    return pids;
}

std::optional<std::vector<ProcessNames>> ProcTable::read() {
    DIR* proc = ::opendir("/proc");
    if (!proc) return std::nullopt;
    std::vector<ProcessNames> out;
    int procFd = ::dirfd(proc);
    while (auto* entry = ::readdir(proc)) {
        const char* d = entry->d_name;
        if (*d < '1' || *d > '9') continue;
        int dirFd = ::openat(procFd, d, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0) continue;
        ProcessNames p;
        p.pid = std::atoi(d);
        p.comm = readSmall(dirFd, "comm");
        if (!p.comm.empty() && p.comm.back() == '\n') p.comm.pop_back();
        std::array<char, 4096> link{};
        auto n = ::readlinkat(dirFd, "exe", link.data(), link.size() - 1);
        if (n > 0) {
            std::string_view target(link.data(), static_cast<std::size_t>(n));
            if (target.ends_with(" (deleted)")) target.remove_suffix(10);
            p.exeBase = baseName(target);
        }
        auto cmdline = readSmall(dirFd, "cmdline");
        ::close(dirFd);
        if (!cmdline.empty()) {
            std::string arg0 = cmdline.substr(0, cmdline.find('\0'));
            p.arg0Base = baseName(arg0);
            auto space = arg0.find(' ');
            if (space != std::string::npos) p.titleWord = baseName(arg0.substr(0, space));
        }
        out.push_back(std::move(p));
    }
    ::closedir(proc);
    return out;
}

}  // namespace pd
