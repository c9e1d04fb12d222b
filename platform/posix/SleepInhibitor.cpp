#include "platform/posix/SleepInhibitor.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/ChildExec.hpp"

namespace pd {

namespace {

// How long a new holder gets to fail (no login manager, refused) before we count the
// lock as taken. systemd-inhibit says nothing on success, so its staying alive is the
// only sign.
constexpr auto settleTime = std::chrono::milliseconds(300);
constexpr auto pollStep = std::chrono::milliseconds(10);

std::string exitText(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("signal ") + ::strsignal(WTERMSIG(status));
    return "status " + std::to_string(status);
}

}  // namespace

std::vector<std::string> SleepInhibitor::defaultCommand() {
    return {"systemd-inhibit", "--what=sleep:idle", "--who=PACEDECK", "--why=sync in progress",
            "sleep",           "infinity"};
}

SleepInhibitor::SleepInhibitor(std::vector<std::string> command) : command_(std::move(command)) {}

SleepInhibitor::~SleepInhibitor() {
    release();
}

bool SleepInhibitor::held() {
    return childAlive();
}

bool SleepInhibitor::childAlive() {
    if (child_ == 0) return false;
    int status = 0;
    pid_t r = ::waitpid(child_, &status, WNOHANG);
    if (r == 0) return true;
    child_ = 0;
    return false;
}

Outcome SleepInhibitor::hold() {
    if (childAlive()) return Outcome::success();
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return Outcome::failure(std::string("pipe: ") + std::strerror(errno));
    pid_t parent = ::getpid();
    pid_t pid = ::fork();
    if (pid < 0) {
        int err = errno;
        ::close(report[0]);
        ::close(report[1]);
        return Outcome::failure(std::string("fork: ") + std::strerror(err));
    }
    if (pid == 0) {
        ::close(report[0]);
        // A group of its own, so that releasing ends whatever the holder started.
        ::setpgid(0, 0);
        // Go when we go, even if we are killed without a chance to release.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) _exit(1);
        execQuietly(command_, report[1]);
    }
    ::close(report[1]);
    ::setpgid(pid, pid);  // also here, so a release right away reaches the whole group
    int err = 0;
    ssize_t n = 0;
    do n = ::read(report[0], &err, sizeof err);
    while (n < 0 && errno == EINTR);
    ::close(report[0]);
    child_ = pid;
    if (n == static_cast<ssize_t>(sizeof err)) {
        reap();
        if (err == ENOENT) return Outcome::failure(command_[0] + " is not installed");
        return Outcome::failure("cannot start " + command_[0] + ": " + std::strerror(err));
    }
    // Bounded: the holder either fails at once or keeps the lock.
    auto deadline = std::chrono::steady_clock::now() + settleTime;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            child_ = 0;
            ::kill(-pid, SIGTERM);  // anything it left behind in its group
            return Outcome::failure(command_[0] + " could not take the lock (" + exitText(status) + ")");
        }
        std::this_thread::sleep_for(pollStep);
    }
    return Outcome::success();
}

void SleepInhibitor::release() {
    if (child_ == 0) return;
    ::kill(-child_, SIGTERM);
    ::kill(child_, SIGTERM);
    reap();
}

void SleepInhibitor::reap() {
    if (child_ == 0) return;
    // A holder that ignores SIGTERM gets a second and then SIGKILL; we never hang here.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int status = 0;
    for (;;) {
        pid_t r = ::waitpid(child_, &status, WNOHANG);
        if (r == child_ || (r < 0 && errno != EINTR)) break;
        if (std::chrono::steady_clock::now() >= deadline) {
            ::kill(-child_, SIGKILL);
            ::kill(child_, SIGKILL);
            while (::waitpid(child_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(pollStep);
    }
    child_ = 0;
}

}  // namespace pd
