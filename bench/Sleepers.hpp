// Sleeping children that raise the number of processes on the machine for a benchmark.
#pragma once
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace pd::bench {

// A child of ours that sleeps until killed, and dies with us in any case; named as asked
// (its kernel name) when a name is given.
inline pid_t sleeper(const char* name = nullptr) {
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (name) ::prctl(PR_SET_NAME, name);
        if (::getppid() != parent) _exit(0);  // the parent ended before the request took
        for (;;) ::pause();
    }
    return pid;
}

inline void endAll(const std::vector<pid_t>& children) {
    for (pid_t pid : children) ::kill(pid, SIGKILL);
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
}

}  // namespace pd::bench
