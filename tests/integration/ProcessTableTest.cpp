#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/PosixPlatform.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

template <class Condition>
bool waitFor(Condition condition, std::chrono::seconds bound = 20s) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

struct TempFolder {
    TempFolder() {
        char name[] = "/tmp/pacedeck-proc-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~TempFolder() { fs::remove_all(path); }
    std::string path;
};

// A child process running argv; killed and reaped at the end of the test.
struct Child {
    explicit Child(std::vector<std::string> argv) {
        pid = ::fork();
        if (pid == 0) {
            std::vector<char*> args;
            for (auto& a : argv) args.push_back(a.data());
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child() { end(); }
    void end() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }
    pid_t pid = -1;
};

bool running(Platform& platform, const std::string& name) {
    auto table = platform.processes();
    return table && table->has(name);
}

TEST(ProcessTable, FindsAStartedProgramByNameAndSeesItGo) {
    TempFolder temp;
    const auto daemon = temp.path + "/simcoind-test";
    fs::create_symlink("/bin/sleep", daemon);
    PosixPlatform platform;
    ASSERT_FALSE(running(platform, "simcoind-test"));
    Child child({daemon, "60"});
    EXPECT_TRUE(waitFor([&] { return running(platform, "simcoind-test"); }));
    EXPECT_FALSE(running(platform, "simcoind-tes"));  // whole names only
    child.end();
    EXPECT_TRUE(waitFor([&] { return !running(platform, "simcoind-test"); }));
}

TEST(ProcessTable, AProcessThatExecsIsSeenUnderItsNewNameWithTheSameId) {
    // The poll script's shell becomes the cli by exec: same process, new name.
    TempFolder temp;
    const auto cli = temp.path + "/simcoin-cli-test";
    fs::create_symlink("/bin/sleep", cli);
    PosixPlatform platform;
    Child shell({"/bin/sh", "-c", "sleep 0.5; exec '" + cli + "' 60"});
    ASSERT_TRUE(waitFor([&] { return running(platform, "sh"); }));
    EXPECT_TRUE(waitFor([&] { return running(platform, "simcoin-cli-test"); }));
    auto list = ProcTable::read();
    ASSERT_TRUE(list);
    EXPECT_EQ(ProcTable(std::move(*list)).pidsOf("simcoin-cli-test"), std::vector<int>{shell.pid});
}

TEST(ProcessTable, LongNamesAndRewrittenTitlesStillMatch) {
    TempFolder temp;
    const auto longName = temp.path + "/simcoin-daemon-for-testing";  // the kernel keeps 15 characters
    fs::create_symlink("/bin/sleep", longName);
    PosixPlatform platform;
    Child daemon({longName, "60"});
    EXPECT_TRUE(waitFor([&] { return running(platform, "simcoin-daemon-for-testing"); }));
    // The mailer is a Perl program that rewrites its title to its command line.
    Child mailer({"/usr/bin/perl", "-e", "$0 = 'sendemail -f me@example.org -t you@example.org'; sleep 60"});
    EXPECT_TRUE(waitFor([&] { return running(platform, "sendemail"); }));
}

}  // namespace
}  // namespace pd
