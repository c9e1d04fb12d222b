// What one idle copy of the program costs: processor time over a minute after start-up and
// resident memory at the end, with default settings, the front end offscreen, and the
// machine raised to a number of processes by sleeping children (ended with the bench).
// A virtual X server (Xvfb, when installed) stands in for the desktop, so the lock-key
// lights talk to an X server as they would there.
//
// Usage: idle_cpu_bench [--program PATH] [--seconds N] [--processes N] [--no-x]
// Last lines: idle_rss_mb: VALUE, then idle_cpu_percent_600: VALUE
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/Sleepers.hpp"
#include "platform/posix/Getdents.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::size_t processCount() {
    const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    std::vector<char> buffer(64 * 1024);
    std::size_t count = 0;
    pd::forEachEntry(proc, buffer.data(), buffer.size(), [&](const char* name, unsigned char) {
        count += *name >= '1' && *name <= '9';
        return true;
    });
    ::close(proc);
    return count;
}

// Processor time of a process so far, in seconds (user and system, from /proc).
double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(in, line);
    const auto close = line.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double rssMegabytes(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return -1;
}

// Xvfb on a free display of its own choosing; "" when it cannot be started.
std::string startXvfb(pid_t& pid) {
    if (::access("/usr/bin/Xvfb", X_OK) != 0) return {};
    int fds[2];
    if (::pipe(fds) != 0) return {};
    pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(fds[0]);
        const auto fd = std::to_string(fds[1]);
        ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                "640x480x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(fds[1]);
    std::string number;
    for (char c; ::read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    ::close(fds[0]);
    return number.empty() ? std::string() : ":" + number;
}

void end(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = PACEDECK_BINARY_DIR "/app/pacedeck";
    int seconds = 60;
    std::size_t target = 600;
    bool useX = true;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc)
            program = argv[++i];
        else if (arg == "--seconds" && i + 1 < argc)
            seconds = std::atoi(argv[++i]);
        else if (arg == "--processes" && i + 1 < argc)
            target = std::strtoul(argv[++i], nullptr, 10);
        else if (arg == "--no-x")
            useX = false;
    }

    // A settings store and home folder of its own: default settings, nothing of the user's.
    char name[] = "/tmp/pacedeck-idle-XXXXXX";
    const std::string scratch = ::mkdtemp(name);
    pid_t xvfb = 0;
    const std::string display = useX ? startXvfb(xvfb) : std::string();

    std::vector<pid_t> sleepers;
    for (auto have = processCount(); have < target; ++have) sleepers.push_back(pd::bench::sleeper());

    const pid_t copy = ::fork();
    if (copy == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::setenv("HOME", scratch.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        if (display.empty())
            ::unsetenv("DISPLAY");
        else
            ::setenv("DISPLAY", display.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(5s);  // start-up
    const double cpu0 = cpuSeconds(copy);
    const auto wall0 = std::chrono::steady_clock::now();
    const auto processes = processCount();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu1 = cpuSeconds(copy);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    const double rss = rssMegabytes(copy);
    const bool alive = ::waitpid(copy, nullptr, WNOHANG) == 0;

    end(copy);
    pd::bench::endAll(sleepers);
    end(xvfb);
    fs::remove_all(scratch);
    if (!alive || cpu0 < 0 || cpu1 < 0) {
        std::fprintf(stderr, "the program %s did not stay up\n", program.c_str());
        return 1;
    }
    std::printf("%zu processes, X display: %s, %.1f s measured\n", processes,
                display.empty() ? "none" : display.c_str(), wall);
    std::printf("processor time: %.3f s\n", cpu1 - cpu0);
    std::printf("idle_rss_mb: %.1f\n", rss);
    std::printf("idle_cpu_percent_%zu: %.2f\n", target, 100.0 * (cpu1 - cpu0) / wall);
    return 0;
}
