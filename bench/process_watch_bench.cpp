// Cost of one tick of the process watcher (one snapshot of the process table and the four
// lookups the lights make) as a function of the number of running processes. Sleeping
// children raise the count to each target.
//
// Usage: process_watch_bench [TARGET...]   (default: 100 600)
// Last line: process_watch_us_per_process: VALUE   (processor time, at the largest target;
// wall time is shown too: on a busy machine it includes waiting for a processor)
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/ProcessTable.hpp"

namespace {

std::size_t processCount() {
    auto list = pd::ProcTable::read();
    return list ? list->size() : 0;
}

pid_t sleeper() {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlive the benchmark
        if (::getppid() != parent) _exit(0);
        for (;;) ::pause();
    }
    return pid;
}

double micros(clockid_t clock) {
    timespec t{};
    ::clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

struct TickCost {
    double cpu;   // processor time the tick used (user + system)
    double wall;  // includes waiting for a processor on a busy machine
};

// Median cost of one tick, in microseconds.
TickCost tickMicros(pd::Platform& platform, int ticks) {
    std::vector<double> cpu;
    std::vector<double> wall;
    std::size_t seen = 0;
    for (int i = 0; i < ticks; ++i) {
        const double cpu0 = micros(CLOCK_THREAD_CPUTIME_ID);
        const double wall0 = micros(CLOCK_MONOTONIC);
        auto table = platform.processes();
        if (table)
            for (const char* name : {"simcoin-qt", "simcoind", "simcoin-cli", "sendemail"})
                seen += table->has(name) ? 1 : 0;
        cpu.push_back(micros(CLOCK_THREAD_CPUTIME_ID) - cpu0);
        wall.push_back(micros(CLOCK_MONOTONIC) - wall0);
    }
    if (seen == static_cast<std::size_t>(-1)) std::puts("");  // keep the lookups
    std::sort(cpu.begin(), cpu.end());
    std::sort(wall.begin(), wall.end());
    return {cpu[cpu.size() / 2], wall[wall.size() / 2]};
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> targets;
    for (int i = 1; i < argc; ++i) targets.push_back(std::strtoul(argv[i], nullptr, 10));
    if (targets.empty()) targets = {100, 600};
    std::sort(targets.begin(), targets.end());

    pd::PosixPlatform platform;
    std::vector<pid_t> children;
    double perProcess = 0;
    for (auto target : targets) {
        for (auto have = processCount(); have < target; ++have) children.push_back(sleeper());
        const auto count = processCount();
        tickMicros(platform, 20);  // warm up
        const auto cost = tickMicros(platform, 201);
        perProcess = cost.cpu / static_cast<double>(count);
        std::printf("processes %zu: %.1f us processor time per tick (%.2f us per process), %.1f us wall\n",
                    count, cost.cpu, perProcess, cost.wall);
    }
    for (pid_t pid : children) ::kill(pid, SIGKILL);
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
    std::printf("process_watch_us_per_process: %.2f\n", perProcess);
    return 0;
}
