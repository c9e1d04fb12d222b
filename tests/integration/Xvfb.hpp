// A virtual X server of a test's own, for programs that need a display.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace pd::test {

// A virtual X server of our own, on a display number it picks itself among the free
// ones; ended with the test.
class Xvfb {
  public:
    static bool installed() { return ::access("/usr/bin/Xvfb", X_OK) == 0; }

    explicit Xvfb(const std::string& screen = "320x240x24") {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            ::setpgid(0, 0);
            auto fd = std::to_string(fds[1]);
            ::execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                    screen.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(fds[1]);
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{fds[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            char c = 0;
            if (::read(fds[0], &c, 1) != 1) break;
            if (c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~Xvfb() { stop(); }
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    const std::string& display() const { return display_; }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = 0;
    }

  private:
    pid_t pid_ = 0;
    std::string display_;
};

}  // namespace pd::test
