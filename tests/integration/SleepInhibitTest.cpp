#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "PlatformTestSupport.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SleepInhibitor.hpp"

namespace pd::test {

namespace {

// A stand-in for systemd-inhibit that records its arguments and its own pid, then runs
// the command it was given as its child, as the real one does.
void standIn(const Scratch& bin) {
    bin.script("systemd-inhibit", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" + bin / "argv" +
                                      "'\n" + "echo $$ > '" + bin / "holder.pid" + "'\n" +
                                      "while [ $# -gt 0 ] && [ \"${1#--}\" != \"$1\" ]; do shift; done\n"
                                      "\"$@\" &\n"
                                      "echo $! > '" +
                                      bin / "child.pid" +
                                      "'\n"
                                      "wait\n");
}

}  // namespace

TEST(SleepInhibit, HeldByOneChildUntilReleasedAndNothingIsLeftBehind) {
    Scratch bin;
    standIn(bin);
    auto path = pathFirst(bin.path());
    PosixPlatform platform;

    auto held = platform.inhibitSleep(true);
    ASSERT_TRUE(held) << held.error;
    ASSERT_TRUE(waitUntil([&] { return pidIn(bin / "child.pid") > 0; }, 5s));
    pid_t holder = pidIn(bin / "holder.pid");
    pid_t child = pidIn(bin / "child.pid");
    EXPECT_FALSE(processEnded(holder));
    EXPECT_FALSE(processEnded(child));
    EXPECT_EQ(linesOf(*slurp(bin / "argv")),
              (std::vector<std::string>{"--what=sleep:idle", "--who=PACEDECK", "--why=sync in progress",
                                        "sleep", "infinity"}));

    EXPECT_TRUE(platform.inhibitSleep(true)) << "taking a held lock again";
    EXPECT_EQ(linesOf(*slurp(bin / "argv")).size(), 5u) << "no second holder";

    EXPECT_TRUE(platform.inhibitSleep(false));
    EXPECT_TRUE(processEnded(holder));
    EXPECT_TRUE(waitUntil([&] { return processEnded(child); }, 5s)) << "the holder's own child ends too";
    EXPECT_TRUE(platform.inhibitSleep(false)) << "giving back what is not held";
}

TEST(SleepInhibit, ThePlatformsEndGivesTheLockBack) {
    Scratch bin;
    standIn(bin);
    auto path = pathFirst(bin.path());
    pid_t holder = 0;
    {
        PosixPlatform platform;
        ASSERT_TRUE(platform.inhibitSleep(true));
        holder = pidIn(bin / "holder.pid");
        ASSERT_TRUE(waitUntil([&] { return pidIn(bin / "child.pid") > 0; }, 5s));
    }
    EXPECT_TRUE(processEnded(holder));
    EXPECT_TRUE(waitUntil([&] { return processEnded(pidIn(bin / "child.pid")); }, 5s));
}

TEST(SleepInhibit, AnAbruptEndOfTheProgramEndsTheHolder) {
    Scratch bin;
    // This stand-in becomes the holder itself, as systemd-inhibit's child goes with it.
    bin.script("systemd-inhibit", "echo $$ > '" + bin / "holder.pid" + "'\nexec sleep 1000\n");
    auto path = pathFirst(bin.path());
    pid_t program = ::fork();
    ASSERT_GE(program, 0);
    if (program == 0) {
        SleepInhibitor lock;
        _exit(lock.hold() ? 0 : 1);  // no release: as if killed
    }
    int status = 0;
    ASSERT_EQ(::waitpid(program, &status, 0), program);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the lock was not taken";
    pid_t holder = pidIn(bin / "holder.pid");
    ASSERT_GT(holder, 0);
    EXPECT_TRUE(waitUntil([&] { return processEnded(holder); }, 5s));
    if (!processEnded(holder)) ::kill(holder, SIGKILL);
}

TEST(SleepInhibit, MissingOrRefusingInhibitorIsReportedPlainly) {
    {
        Scratch empty;
        EnvChange path("PATH", empty.path());
        SleepInhibitor lock;
        auto held = lock.hold();
        EXPECT_FALSE(held);
        EXPECT_EQ(held.error, "systemd-inhibit is not installed");
        EXPECT_FALSE(lock.held());
    }
    Scratch bin;
    bin.script("systemd-inhibit", "echo 'Failed to connect to bus' >&2\nexit 1\n");
    auto path = pathFirst(bin.path());
    SleepInhibitor lock;
    auto held = lock.hold();
    EXPECT_FALSE(held);
    EXPECT_EQ(held.error, "systemd-inhibit could not take the lock (exit status 1)");
    EXPECT_EQ(lock.holder(), 0);
    // A later attempt tries again rather than remembering the failure.
    bin.script("systemd-inhibit", "exec sleep 1000\n");
    EXPECT_TRUE(lock.hold());
    EXPECT_TRUE(lock.held());
    pid_t holder = lock.holder();
    lock.release();
    EXPECT_TRUE(processEnded(holder));
}

TEST(SleepInhibit, TheSystemsOwnInhibitorEitherHoldsOrSaysWhy) {
    if (::access("/usr/bin/systemd-inhibit", X_OK) != 0) GTEST_SKIP() << "systemd-inhibit is not installed";
    EnvChange path("PATH", "/usr/bin:/bin");
    SleepInhibitor lock;
    auto held = lock.hold();
    if (held) {
        EXPECT_TRUE(lock.held());
        pid_t holder = lock.holder();
        lock.release();
        EXPECT_TRUE(processEnded(holder));
    } else {
        // Without a login manager (containers, build machines) it cannot take the lock.
        EXPECT_NE(held.error.find("systemd-inhibit"), std::string::npos) << held.error;
        EXPECT_EQ(lock.holder(), 0);
    }
}

}  // namespace pd::test
