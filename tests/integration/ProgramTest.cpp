#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ScriptProbe.hpp"
#include "main/RunHistory.hpp"
#include "platform/posix/SqliteStore.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string program = PACEDECK_BINARY_DIR "/app/pacedeck";

// Waits for a condition on something outside this process, giving up after the bound.
template <class Condition>
bool waitFor(Condition condition, std::chrono::seconds bound = 30s) {
    const auto until = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The program started under another name (a symlink), offscreen, with its settings in a
// temporary folder.
struct RunningCopy {
    explicit RunningCopy(const std::string& name,
                         std::vector<std::string> display = {"QT_QPA_PLATFORM=offscreen"},
                         bool settingsFolderBlocked = false) {
        char folder[] = "/tmp/pacedeck-program-XXXXXX";
        temp = ::mkdtemp(folder);
        const std::string link = temp + "/" + name;
        fs::create_symlink(program, link);
        // A file where the settings folder should be: the store cannot be opened.
        if (settingsFolderBlocked) std::ofstream(temp + "/config") << "not a folder";
        std::vector<std::string> env = {"XDG_CONFIG_HOME=" + temp + "/config", "HOME=" + temp,
                                        "PATH=/usr/bin:/bin"};
        env.insert(env.end(), display.begin(), display.end());
        const std::string errors = temp + "/stderr";
        pid = ::fork();
        if (pid == 0) {
            if (int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); fd >= 0) ::dup2(fd, 2);
            std::vector<char*> envp;
            for (auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
            envp.push_back(nullptr);
            char* argv[] = {const_cast<char*>(link.c_str()), nullptr};
            ::execve(link.c_str(), argv, envp.data());
            ::_exit(127);
        }
    }
    ~RunningCopy() {
        if (pid > 0 && !exited) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        fs::remove_all(temp);
    }
    std::string database() const { return temp + "/config/SW_PACEDECK/settings.sqlite3"; }
    std::optional<std::string> stored(const std::string& section, const std::string& key) const {
        if (!fs::exists(database())) return std::nullopt;
        SqliteStore store(database());
        return store.get(section, key);
    }
    std::string errors() const {
        std::ifstream in(temp + "/stderr");
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool waitForExit(std::chrono::seconds bound = 30s) {
        return waitFor(
            [&] {
                if (::waitpid(pid, &status, WNOHANG) == pid) exited = true;
                return exited;
            },
            bound);
    }

    std::string temp;
    pid_t pid = -1;
    int status = 0;
    bool exited = false;
};

// Up: opening the window restores "Always On Top", which writes its key at once.
::testing::AssertionResult isUp(const RunningCopy& copy) {
    if (copy.pid <= 0) return ::testing::AssertionFailure() << "the program could not be started";
    if (!waitFor([&] { return copy.stored("X", "ALWAYS_ON_TOP_TICKBOX").has_value(); }))
        return ::testing::AssertionFailure() << "the program did not start";
    return ::testing::AssertionSuccess();
}

class ProgramTest : public ::testing::TestWithParam<int> {};

// The end of the user's session closes the main window as its close box does.
TEST_P(ProgramTest, EndOfSessionSavesWhatClosingTheWindowSaves) {
    if (!fs::exists(program)) GTEST_SKIP() << "the program is not built (GUI off)";
    RunningCopy copy("X");
    ASSERT_TRUE(isUp(copy));
    EXPECT_FALSE(copy.stored("X", "MAIN-Left").has_value());

    ASSERT_EQ(::kill(copy.pid, GetParam()), 0);
    ASSERT_TRUE(copy.waitForExit()) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(copy.status) && WEXITSTATUS(copy.status) == 0) << "status " << copy.status;

    EXPECT_EQ(copy.stored("X", "MAIN-Left"), "1000");
    EXPECT_EQ(copy.stored("X", "MAIN-Top"), "1000");
    EXPECT_EQ(copy.stored("X", "AUTOSTART_TICKBOX"), "0");
    EXPECT_EQ(copy.stored("X", "USER_COUNT_TIME_TEXTBOX"), "00:05:00");
    EXPECT_EQ(copy.stored("X", "TASK_20_ENABLE_TICKBOX"), "0");
    EXPECT_EQ(copy.stored("X", "RUN_QT_OR_D_TEXTBOX"), "");
    // Closing stamps no outcome and writes nothing under another copy's name.
    EXPECT_FALSE(copy.stored("X", "MULTILOADER_LAST_RUN_TEXTBOX").has_value());
    EXPECT_FALSE(copy.stored("pacedeck", "MAIN-Left").has_value());
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramTest, ::testing::Values(SIGTERM, SIGHUP),
                         [](const auto& info) { return info.param == SIGTERM ? "SIGTERM" : "SIGHUP"; });

// Another program inside a transaction: the closing saves wait a moment, are reported with the
// reason and are not half made. (The bound is far below the minutes a long busy wait takes.)
TEST(ProgramWithTheStoreLocked, EndsAtOnceSaysWhyAndLeavesTheStoreAsItWas) {
    if (!fs::exists(program)) GTEST_SKIP() << "the program is not built (GUI off)";
    RunningCopy copy("X");
    ASSERT_TRUE(isUp(copy));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(copy.database().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; INSERT OR REPLACE INTO settings VALUES('Y', 'K', 'V');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    ASSERT_EQ(::kill(copy.pid, SIGTERM), 0);
    const bool ended = copy.waitForExit(10s);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(ended) << "a held lock held up the program";
    EXPECT_TRUE(WIFEXITED(copy.status) && WEXITSTATUS(copy.status) == 0) << "status " << copy.status;
    EXPECT_NE(copy.errors().find("locked by another program"), std::string::npos) << copy.errors();
    // None of the closing saves went in, not even the first.
    for (const auto* key : {"MAIN-Left", "MAIN-Top", "AUTOSTART_TICKBOX", "RUN_QT_OR_D_TEXTBOX"})
        EXPECT_FALSE(copy.stored("X", key).has_value()) << key;
}

// An X server of the test's own, so that the program shows its message box.
struct OwnDisplay {
    OwnDisplay() : number(":" + std::to_string(200 + ::getpid() % 500)) {
        pid = ::fork();
        if (pid == 0) {
            ::execlp("Xvfb", "Xvfb", number.c_str(), "-nolisten", "tcp", "-screen", "0", "800x600x24",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        up = waitFor([&] { return fs::exists("/tmp/.X11-unix/X" + number.substr(1)); }, 20s);
    }
    ~OwnDisplay() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
    }
    std::string number;
    pid_t pid = -1;
    bool up = false;
};

class MessageAtStart : public ::testing::TestWithParam<int> {};

// Started from cron with its settings unreachable, the program shows why and waits for OK;
// the end of the session still ends it.
TEST_P(MessageAtStart, TheEndOfTheSessionClosesTheSettingsCannotBeOpenedMessage) {
    if (!fs::exists(program)) GTEST_SKIP() << "the program is not built (GUI off)";
    if (::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "no Xvfb";
    OwnDisplay display;
    ASSERT_TRUE(display.up) << "Xvfb did not start";
    RunningCopy copy("X", {"DISPLAY=" + display.number, "QT_QPA_PLATFORM=xcb"}, true);
    ASSERT_GT(copy.pid, 0);
    ASSERT_TRUE(waitFor([&] { return copy.errors().find("settings cannot be opened") != std::string::npos; }))
        << copy.errors();
    ASSERT_EQ(::kill(copy.pid, GetParam()), 0);
    ASSERT_TRUE(copy.waitForExit()) << "the message held the program";
    EXPECT_TRUE(WIFEXITED(copy.status) && WEXITSTATUS(copy.status) == 1) << "status " << copy.status;
}

INSTANTIATE_TEST_SUITE_P(Signals, MessageAtStart, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) {
                             return info.param == SIGTERM  ? "SIGTERM"
                                    : info.param == SIGINT ? "SIGINT"
                                                           : "SIGHUP";
                         });

// Without a display the program cannot show a window: it says so in one line and ends
// with status 1, instead of Qt's page of plugin messages and an abort.
struct StartWithout {
    int status = 0;
    std::string errors;
};

StartWithout startWithout(const std::vector<std::string>& display) {
    char folder[] = "/tmp/pacedeck-nodisplay-XXXXXX";
    const std::string temp = ::mkdtemp(folder);
    std::vector<std::string> env = {"XDG_CONFIG_HOME=" + temp + "/config", "HOME=" + temp,
                                    "PATH=/usr/bin:/bin"};
    env.insert(env.end(), display.begin(), display.end());
    int errFds[2];
    EXPECT_EQ(::pipe(errFds), 0);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(errFds[1], 2);
        ::close(errFds[0]);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        ::execve(program.c_str(), argv, envp.data());
        ::_exit(127);
    }
    ::close(errFds[1]);
    StartWithout out;
    char buf[4096];
    for (ssize_t n; (n = ::read(errFds[0], buf, sizeof buf)) > 0;)
        out.errors.append(buf, static_cast<std::size_t>(n));
    ::close(errFds[0]);
    ::waitpid(pid, &out.status, 0);
    fs::remove_all(temp);
    return out;
}

TEST(ProgramWithoutDisplay, SaysSoInOneLineAndEndsWithStatusOne) {
    if (!fs::exists(program)) GTEST_SKIP() << "the program is not built (GUI off)";
    for (const auto& display : {std::vector<std::string>{}, std::vector<std::string>{"DISPLAY=:987"}}) {
        const auto run = startWithout(display);
        ASSERT_TRUE(WIFEXITED(run.status)) << "ended by signal " << WTERMSIG(run.status);
        EXPECT_EQ(WEXITSTATUS(run.status), 1);
        EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
        EXPECT_EQ(run.errors.rfind("pacedeck: no display to show the windows on (DISPLAY is ", 0), 0u)
            << run.errors;
    }
}

// Options are read before Qt starts: no display is needed to answer them.
struct Options : ::testing::Test {
    void SetUp() override {
        if (!fs::exists(program)) GTEST_SKIP() << "the program is not built (GUI off)";
        fs::create_symlink(program, tmp.path + "/BTC");
    }
    test::RunResult run(std::vector<std::string> args) {
        args.insert(args.begin(), tmp.path + "/BTC");
        return test::runProgram(args, {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM=xcb"}, tmp.path);
    }
    test::TempDir tmp;
};

TEST_F(Options, VersionAndHelpAnswerWithoutADisplay) {
    auto version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_TRUE(version.out.starts_with("pacedeck 1.0.0")) << version.out;

    auto help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0) << help.err;
    EXPECT_TRUE(help.out.starts_with("Usage: BTC ")) << help.out;
    EXPECT_NE(help.out.find("This copy is \"BTC\""), std::string::npos) << help.out;
}

TEST_F(Options, HistoryPrintsTheCopysLastRunsWithoutADisplay) {
    const std::string config = "XDG_CONFIG_HOME=" + tmp.path + "/config";
    auto none = test::runProgram({tmp.path + "/BTC", "--history"}, {"DISPLAY=", config}, tmp.path);
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out, "PACEDECK - BTC - RUN HISTORY\n!!! NO HOME FOLDER IS SET - NO RUN HISTORY !!!\n");

    fs::create_directories(tmp.path + "/home/LOGS");
    SqliteStore(tmp.path + "/config/SW_PACEDECK/settings.sqlite3")
        .write("BTC", "PACEDECK_HOME_TEXTBOX", tmp.path + "/home");
    const std::vector<RunRecord> runs = {
        {1796747400, 1796748151, "!!! COMPLETED SUCCESSFULLY !!!", 1000, 1040, 40, 751, 5000, 9000},
        {1797352200, 1797352230, "!!! NODE STUCK !!!", 1040, 1040, 0, 30, 9000, 9000}};
    const auto file = tmp.path + "/home/LOGS/BTC-RUN-HISTORY.csv";
    std::ofstream(file) << runHistoryHeader << "\n"
                        << runHistoryLine(runs[0]) << "\n"
                        << runHistoryLine(runs[1]) << "\n";
    auto two = test::runProgram({tmp.path + "/BTC", "--history"}, {"DISPLAY=", config}, tmp.path);
    EXPECT_EQ(two.exitCode, 0) << two.err;
    EXPECT_EQ(two.out, "PACEDECK - BTC - RUN HISTORY\nTHE LAST 2 OF 2 RUNS, NEWEST FIRST - " + file + "\n\n" +
                           runHistoryTable(runs, runHistoryRows));
}

TEST_F(Options, AnythingButQtsOwnOptionsIsAMisuse) {
    auto unknown = run({"-platform", "offscreen", "--bogus"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err, "BTC: unknown option '--bogus'\nTry 'BTC --help'.\n");
    EXPECT_TRUE(unknown.out.empty());

    EXPECT_EQ(run({"stray"}).exitCode, 2);
    EXPECT_EQ(run({"-reverse=yes"}).exitCode, 2);
    EXPECT_EQ(run({"--style"}).exitCode, 2);  // its value is missing
    // Qt's options, their values included, are skipped over.
    EXPECT_EQ(run({"--style=Fusion", "-display", "--bogus", "--version"}).exitCode, 0);
}

}  // namespace
}  // namespace pd
