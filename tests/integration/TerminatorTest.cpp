// Terminating real processes by name: copies of sleep under a name no other program on
// the machine uses, started by the test so that it can reap them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "tools/TerminatorWindow.hpp"

namespace fs = std::filesystem;

namespace pd {
namespace {

// A copy of sleep named `name`, started and reaped by the test.
class Sleeper {
  public:
    explicit Sleeper(const fs::path& program) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::execl(program.c_str(), program.filename().c_str(), "300", static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Sleeper() {
        if (!status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // The exit status once the process ended within the bound.
    std::optional<int> waitEnd(std::chrono::seconds bound = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + bound;
        while (!status_ && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                status_ = status;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return status_;
    }
    bool alive() {
        int status = 0;
        if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
        return !status_;
    }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct Programs {
    Programs() : dir(fs::temp_directory_path() / ("pd-term-" + std::to_string(::getpid()))) {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Programs() { fs::remove_all(dir); }
    fs::path copyOfSleep(const std::string& name) {
        auto p = dir / name;
        fs::copy_file("/bin/sleep", p);
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }
    fs::path dir;
};

// Until the process table shows the name, within a bound.
bool waitVisible(PosixPlatform& platform, const std::string& name) {
    for (int i = 0; i < 500; ++i) {
        auto table = platform.processes();
        if (table && table->has(name)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool killedBySigkill(std::optional<int> status) {
    return status && WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL;
}

}  // namespace

TEST(Terminator, ADaemonStartedOutsideIsEndedByItsNameFromTheWindow) {
    Programs programs;
    const std::string name = "pdd" + std::to_string(::getpid());
    Sleeper daemon(programs.copyOfSleep(name));
    PosixPlatform platform;
    ASSERT_TRUE(waitVisible(platform, name));

    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    App app("PACEDECK", store, platform, posixProfile("/home/tester"), scheduler);
    app.start<MainWindow>();
    auto& w = app.open<TerminatorWindow>(&mainWindow(app));
    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    ASSERT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.type(name));
    scheduler.advance(1000, clock);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::green);
    ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.click());
    EXPECT_EQ(w.TERMINATED_LABEL.text(), "TERMINATED 1 PROCESS(ES) NAMED " + name);
    EXPECT_TRUE(killedBySigkill(daemon.waitEnd()));
    scheduler.advance(1000, clock);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::red);
    EXPECT_FALSE(w.CUSTOM_TERMINATE_BUTTON.enabled());
}

TEST(Terminator, EveryProcessOfTheNameEndsAndOnlyThose) {
    Programs programs;
    const std::string name = "pdt" + std::to_string(::getpid());
    auto program = programs.copyOfSleep(name);
    auto longer = programs.copyOfSleep(name + "x");
    Sleeper first(program);
    Sleeper second(program);
    Sleeper other(longer);
    PosixPlatform platform;
    ASSERT_TRUE(waitVisible(platform, name));
    ASSERT_TRUE(waitVisible(platform, name + "x"));

    EXPECT_EQ(platform.terminateByName(name), 2);
    EXPECT_TRUE(killedBySigkill(first.waitEnd()));
    EXPECT_TRUE(killedBySigkill(second.waitEnd()));
    EXPECT_TRUE(other.alive());
    EXPECT_EQ(platform.terminateByName(name), 0);
}

}  // namespace pd
