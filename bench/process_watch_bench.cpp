// Cost of one tick of the process watcher (one snapshot of the process table and the four
// lookups the lights make) as a function of the number of running processes. Sleeping
// children raise the count to each target; two of them carry the daemon's name, so the
// daemon light reads their command lines to tell this copy's node from another's, as it
// does when two copies' nodes run side by side. Beside it, in the same run, the floor of a full
// scan: listing /proc and one read of every process's name from files kept open, which is
// what a watcher that rereads every name on every tick cannot go below.
//
// Usage: process_watch_bench [TARGET...]   (default: 100 600)
// Last line: process_watch_us_per_process: VALUE   (mean processor time, at the largest target;
// wall time is shown too: on a busy machine it includes waiting for a processor)
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/Sleepers.hpp"
#include "platform/posix/Getdents.hpp"
#include "platform/posix/ProcessTable.hpp"

namespace {

std::size_t processCount() {
    auto list = pd::ProcTable::read();
    return list ? list->size() : 0;
}

double micros(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct TickCost {
    double cpu;    // processor time the tick used (user + system)
    double wall;   // includes waiting for a processor on a busy machine
    double names;  // names read
};

// Mean cost of one tick, in microseconds. The scanner's clock moves on by the watcher's
// 250 ms between ticks, so its rechecks come as often as in the program.
TickCost tickMicros(pd::ProcessScanner& scanner, std::int64_t& now, int ticks) {
    const std::vector<std::string> own = {"-datadir=/srv/pacedeck-bench/chain"};
    double cpu = 0;
    double wall = 0;
    double names = 0;
    std::size_t seen = 0;
    for (int i = 0; i < ticks; ++i) {
        now += 250;
        const double cpu0 = micros(CLOCK_THREAD_CPUTIME_ID);
        const double wall0 = micros(CLOCK_MONOTONIC);
        if (auto list = scanner.scan()) {
            const pd::ProcTable table(std::move(list));
            for (const char* name : {"simcoin-qt", "simcoind"}) seen += table.idsOf(name, own).size();
            for (const char* name : {"simcoin-cli", "sendemail"}) seen += table.has(name) ? 1 : 0;
        }
        cpu += micros(CLOCK_THREAD_CPUTIME_ID) - cpu0;
        wall += micros(CLOCK_MONOTONIC) - wall0;
        names += static_cast<double>(scanner.namesRead());
    }
    if (seen == static_cast<std::size_t>(-1)) std::puts("");  // keep the lookups
    return {cpu / ticks, wall / ticks, names / ticks};
}

// The full-scan floor: per tick, the listing of /proc and one read of each name file, all
// opened beforehand. Median processor time of one tick, in microseconds.
double fullScanFloorMicros(int ticks) {
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<int> files;
    std::array<char, 32 * 1024> listing;
    ::lseek(proc, 0, SEEK_SET);
    pd::forEachEntry(proc, listing.data(), listing.size(), [&](const char* name, unsigned char) {
        if (*name >= '1' && *name <= '9') {
            const int fd = ::openat(proc, (std::string(name) + "/comm").c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) files.push_back(fd);
        }
        return true;
    });
    std::vector<double> cpu;
    std::size_t bytes = 0;
    for (int i = 0; i < ticks; ++i) {
        const double cpu0 = micros(CLOCK_THREAD_CPUTIME_ID);
        ::lseek(proc, 0, SEEK_SET);
        std::size_t entries = 0;
        pd::forEachEntry(proc, listing.data(), listing.size(), [&](const char*, unsigned char) {
            ++entries;
            return true;
        });
        std::array<char, 64> name;
        for (int fd : files) {
            const auto n = ::pread(fd, name.data(), name.size(), 0);
            bytes += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
        cpu.push_back(micros(CLOCK_THREAD_CPUTIME_ID) - cpu0);
        bytes += entries;
    }
    for (int fd : files) ::close(fd);
    ::close(proc);
    if (bytes == static_cast<std::size_t>(-1)) std::puts("");  // keep the reads
    std::sort(cpu.begin(), cpu.end());
    return cpu[cpu.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> targets;
    for (int i = 1; i < argc; ++i) targets.push_back(std::strtoul(argv[i], nullptr, 10));
    if (targets.empty()) targets = {100, 600};
    std::sort(targets.begin(), targets.end());

    std::int64_t now = 0;
    pd::ProcessScanner scanner(4096, {}, [&now] { return now; });
    std::vector<pid_t> children = {pd::bench::sleeper("simcoind"), pd::bench::sleeper("simcoind")};
    double perProcess = 0;
    for (auto target : targets) {
        for (auto have = processCount(); have < target; ++have) children.push_back(pd::bench::sleeper());
        const auto count = processCount();
        tickMicros(scanner, now, 60);  // warm up, past the sleepers' youth
        const auto cost = tickMicros(scanner, now, 400);
        perProcess = cost.cpu / static_cast<double>(count);
        const double floor = fullScanFloorMicros(201);
        std::printf(
            "processes %zu: %.1f us processor time per tick (%.2f us per process), %.1f us wall, "
            "%.1f names read\n",
            count, cost.cpu, perProcess, cost.wall, cost.names);
        std::printf("processes %zu: full-scan floor %.1f us per tick (%.2f us per process)\n", count, floor,
                    floor / static_cast<double>(count));
    }
    pd::bench::endAll(children);
    std::printf("process_watch_us_per_process: %.2f\n", perProcess);
    return 0;
}
