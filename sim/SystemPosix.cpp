#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "Paths.hpp"
#include "System.hpp"

namespace simcoin {

namespace {

std::atomic<bool>* g_stopFlag = nullptr;

extern "C" void onStopSignal(int) {
    if (g_stopFlag) *g_stopFlag = true;
}

}  // namespace

std::string ownProgramName(const char* argv0) {
    return baseName(argv0 ? argv0 : "");
}

void nameThisProcess(const std::string& name) {
    // The kernel keeps 15 characters of a process name.
    ::prctl(PR_SET_NAME, name.substr(0, 15).c_str(), 0, 0, 0);
}

long currentProcessId() {
    return static_cast<long>(::getpid());
}

Detach detachIntoBackground() {
    pid_t pid = ::fork();
    if (pid < 0) return Detach::Failed;
    if (pid > 0) return Detach::Parent;
    ::setsid();
    int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        if (null > 2) ::close(null);
    }
    return Detach::Child;
}

void raiseOnStopRequest(std::atomic<bool>& flag) {
    g_stopFlag = &flag;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    // A client hanging up mid-answer must not kill the node.
    ::signal(SIGPIPE, SIG_IGN);
}

std::intptr_t lockFileExclusively(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    // flock, unlike a lock on a range, belongs to the open file: the kernel drops it
    // with the last descriptor, so a crashed node never blocks the next start.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void unlockFile(std::intptr_t lock) {
    if (lock >= 0) ::close(static_cast<int>(lock));
}

std::tm utcTime(std::time_t t) {
    std::tm utc{};
    ::gmtime_r(&t, &utc);
    return utc;
}

}  // namespace simcoin
