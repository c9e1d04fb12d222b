// The weekly task against a stand-in crontab: the commands the scheduler window shows are
// run by the real /bin/sh, and the stand-in keeps the "installed" crontab in a file, so
// the user's real crontab is never touched.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/SchedulerWindow.hpp"

namespace fs = std::filesystem;

namespace pd {
namespace {

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void spit(const fs::path& p, const std::string& text,
          fs::perms perms = fs::perms::owner_read | fs::perms::owner_write) {
    std::ofstream(p, std::ios::binary) << text;
    fs::permissions(p, perms);
}

// An environment variable set for the test and put back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

struct CrontabStandIn {
    CrontabStandIn() : dir(fs::temp_directory_path() / ("pd-crontab-" + std::to_string(::getpid()))) {
        fs::remove_all(dir);
        fs::create_directories(dir / "bin");
        fs::create_directories(dir / "home");
        auto d = dir.string();
        spit(dir / "bin" / "crontab",
             "#!/bin/sh\n"
             "echo \"$*\" >> '" +
                 d +
                 "/calls'\n"
                 "case \"$1\" in\n"
                 "  -l) [ -f '" +
                 d +
                 "/crontab' ] || { echo 'no crontab for tester' >&2; exit 1; }\n"
                 "      cat '" +
                 d +
                 "/crontab' ;;\n"
                 "  -) if [ -f '" +
                 d +
                 "/refuse' ]; then cat >/dev/null; echo 'crontab: installing new crontab failed' >&2; exit "
                 "1; fi\n"
                 "     cat > '" +
                 d + "/crontab.new' && mv '" + d + "/crontab.new' '" + d +
                 "/crontab' ;;\n"
                 "  *) exit 2 ;;\n"
                 "esac\n",
             fs::perms::owner_all);
    }
    ~CrontabStandIn() { fs::remove_all(dir); }
    std::string crontab() const { return slurp(dir / "crontab"); }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::istringstream in(crontab());
        for (std::string l; std::getline(in, l);)
            if (!l.empty()) out.push_back(l);
        return out;
    }
    fs::path dir;
};

struct PosixApp {
    explicit PosixApp(const std::string& home)
        : app("BTC", store, platform, posixProfile("/home/tester"), scheduler) {
        store.write("BTC", "PACEDECK_HOME_TEXTBOX", home);
        app.start<MainWindow>();
    }
    // The window's commands run while the program goes on: virtual time moves in poll
    // steps until the real command has ended (bounded).
    void settle(SchedulerWindow& w) {
        for (int i = 0; i < 2000 && w.TASK_RESULT_LABEL.text() == "!!! RUNNING THE COMMAND... !!!"; ++i) {
            scheduler.advance(CommandQueue::pollMs, clock);
            ::usleep(5000);
        }
    }
    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    PosixPlatform platform;
    App app;
};

}  // namespace

TEST(SchedulerCrontab, TheTaskLineIsCreatedSwitchedAndDeletedLeavingTheUsersLinesAlone) {
    CrontabStandIn cron;
    ScopedEnv path("PATH", (cron.dir / "bin").string() + ":" + std::getenv("PATH"));
    ScopedEnv display("DISPLAY", ":7");
    const std::string userLine = "0 1 * * * /usr/local/bin/backup";
    const std::string otherCopy = "00 05 * * 1 env DISPLAY=\":0\" \"/x/BTC2\" # \"PACEDECK - BTC2\"";
    // A line this copy left behind earlier gives way to the new one.
    const std::string stale = "#00 09 * * 5 env \"/old/BTC\" # \"PACEDECK - BTC\"";
    spit(cron.dir / "crontab", userLine + "\n" + stale + "\n" + otherCopy + "\n");
    // The program the task starts: it tells which display it was given.
    auto home = cron.dir / "home";
    spit(home / "BTC", "#!/bin/sh\necho \"$DISPLAY\" > '" + (cron.dir / "started").string() + "'\n",
         fs::perms::owner_all);

    PosixApp p(home.string());
    auto& w = p.app.open<SchedulerWindow>(&mainWindow(p.app));
    ASSERT_TRUE(w.TASK_RUN_TIME_TEXTBOX.type("06:30"));
    ASSERT_TRUE(w.WED_TICKBOX.click());
    ASSERT_TRUE(w.CREATE_TASK_BUTTON.click());
    p.settle(w);
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK CREATED");
    EXPECT_EQ(w.TASK_STATUS_TEXTBOX.text(), "TASK-CREATED");
    auto lines = cron.lines();
    ASSERT_EQ(lines.size(), 3u) << cron.crontab();
    EXPECT_EQ(lines[0], userLine);
    EXPECT_EQ(lines[1], otherCopy);
    const std::string ours =
        "30 06 * * 3 env DISPLAY=\":7\" \"" + (home / "BTC").string() + "\" # \"PACEDECK - BTC\"";
    EXPECT_EQ(lines[2], ours);

    // What cron would run: everything after the five time fields, by /bin/sh.
    std::string command = ours;
    for (int field = 0; field < 5; ++field) command = command.substr(command.find(' ') + 1);
    auto ran = p.platform.runAndWait(command);
    ASSERT_TRUE(ran.ok()) << ran.output;
    EXPECT_EQ(slurp(cron.dir / "started"), ":7\n");

    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());

    p.settle(w);
    EXPECT_EQ(cron.lines(), (std::vector<std::string>{userLine, otherCopy, ours}));
    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    p.settle(w);
    EXPECT_EQ(w.TASK_RESULT_LABEL.text(), "TASK DISABLED");
    EXPECT_EQ(cron.lines(), (std::vector<std::string>{userLine, otherCopy, "#" + ours}));
    ASSERT_TRUE(w.ENABLE_SCHED_TASK_TICKBOX.click());
    p.settle(w);
    EXPECT_EQ(cron.lines(), (std::vector<std::string>{userLine, otherCopy, ours}));

    ASSERT_TRUE(w.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(w.DELETE_TASK_BUTTON.click());
    p.settle(w);
    EXPECT_EQ(cron.lines(), (std::vector<std::string>{userLine, otherCopy}));
    EXPECT_EQ(w.TASK_STATUS_TEXTBOX.text(), "TASK-DELETED");
    EXPECT_EQ(p.store.read("BTC", "TASK_STATUS_TEXTBOX", ""), "TASK-DELETED");
}

TEST(SchedulerCrontab, WithoutACrontabCreateMakesOneAndARefusedInstallIsShown) {
    CrontabStandIn cron;
    ScopedEnv path("PATH", (cron.dir / "bin").string() + ":" + std::getenv("PATH"));
    spit(cron.dir / "home" / "BTC", "#!/bin/sh\n", fs::perms::owner_all);
    PosixApp p((cron.dir / "home").string());
    auto& w = p.app.open<SchedulerWindow>(&mainWindow(p.app));

    // Deleting a task that is nowhere changes nothing and is no failure.
    p.store.write("BTC", "TASK_STATUS_TEXTBOX", "TASK-CREATED");
    w.close();
    auto& again = p.app.open<SchedulerWindow>(&mainWindow(p.app));
    ASSERT_TRUE(again.ENABLE_DELETE_BUTTON_TICKBOX.click());
    ASSERT_TRUE(again.DELETE_TASK_BUTTON.click());
    p.settle(again);
    EXPECT_EQ(again.TASK_RESULT_LABEL.text(), "TASK DELETED");
    EXPECT_FALSE(fs::exists(cron.dir / "crontab"));

    spit(cron.dir / "refuse", "");
    ASSERT_TRUE(again.SELECT_ALL_DAYS_TICKBOX.click());
    ASSERT_TRUE(again.CREATE_TASK_BUTTON.click());
    p.settle(again);
    EXPECT_EQ(again.TASK_RESULT_LABEL.text(),
              "!!! THE COMMAND FAILED (EXIT STATUS 1): crontab: installing new crontab failed !!!");
    EXPECT_EQ(again.TASK_STATUS_TEXTBOX.text(), "TASK-DELETED");
    EXPECT_TRUE(again.CREATE_TASK_BUTTON.enabled());

    fs::remove(cron.dir / "refuse");
    ASSERT_TRUE(again.CREATE_TASK_BUTTON.click());
    p.settle(again);
    EXPECT_EQ(again.TASK_STATUS_TEXTBOX.text(), "TASK-CREATED");
    auto lines = cron.lines();
    ASSERT_EQ(lines.size(), 1u) << cron.crontab();
    EXPECT_TRUE(lines[0].starts_with("00 00 * * * env DISPLAY=")) << lines[0];
    EXPECT_TRUE(lines[0].ends_with(" # \"PACEDECK - BTC\"")) << lines[0];
}

}  // namespace pd
