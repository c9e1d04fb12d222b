// The process scanner spares rereading names, so each way a process can change is pinned
// here with real processes, on the scanner's own clock (scans every 250 ms as the watcher
// makes them; no wall-clock waits).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "PlatformTestSupport.hpp"
#include "platform/posix/ProcessTable.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;

// A child that runs as this test program until told to exec a program under a name of
// the test's own; exec() returns once the exec has happened (the child's end of a
// close-on-exec pipe closes then).
class Execer {
  public:
    explicit Execer(const std::string& program) {
        int go[2];
        int done[2];
        if (::pipe(go) != 0 || ::pipe2(done, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(go[1]);
            ::close(done[0]);
            char byte = 0;
            if (::read(go[0], &byte, 1) == 1) ::execl(program.c_str(), program.c_str(), "60", nullptr);
            ::_exit(127);
        }
        ::close(go[0]);
        ::close(done[1]);
        go_ = go[1];
        done_ = done[0];
    }
    ~Execer() {
        end();
        if (go_ >= 0) ::close(go_);
        if (done_ >= 0) ::close(done_);
    }
    Execer(const Execer&) = delete;
    Execer& operator=(const Execer&) = delete;

    bool exec() {
        char byte = 1;
        if (::write(go_, &byte, 1) != 1) return false;
        return ::read(done_, &byte, 1) == 0;  // closed by the exec, nothing written
    }
    void end() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    int go_ = -1;
    int done_ = -1;
};

// A scanner on a clock of its own, scanned as the watcher does.
// With relistMs as long as a test, only a process that starts or ends makes it list /proc.
constexpr std::int64_t never = 1'000'000'000;
struct Watcher {
    explicit Watcher(std::size_t maxOpen, std::int64_t relistMs = ScanTiming{}.relistMs)
        : scanner(maxOpen, {.relistMs = relistMs}, [this] { return now; }) {}
    // Moves the clock on by one watcher tick and scans.
    ProcTable tick() {
        now += 250;
        auto list = scanner.scan();
        EXPECT_TRUE(list) << "/proc could not be listed";
        return ProcTable(list ? std::move(list) : std::make_shared<const std::vector<ProcessNames>>());
    }
    std::int64_t now = 0;
    ProcessScanner scanner;
};

struct ExecCase {
    const char* name;       // the name the child takes by exec; one per case
    std::size_t maxOpen;    // 0: no name file is kept open
    std::int64_t ageMs;     // how long the child has been seen before it execs
    std::int64_t withinMs;  // by when the new name must show
    std::int64_t relistMs = ScanTiming{}.relistMs;
};

class ProcessScannerExec : public ::testing::TestWithParam<ExecCase> {};

TEST_P(ProcessScannerExec, ANewNameByExecShowsAtOnceWhileYoungAndWithinTwoSecondsLater) {
    const auto& c = GetParam();
    test::Scratch scratch;
    const auto program = scratch / c.name;
    fs::create_symlink("/bin/sleep", program);
    Watcher watcher(c.maxOpen, c.relistMs);
    watcher.tick();  // the processes already there are not young
    Execer child(program);
    ASSERT_GT(child.pid(), 0);
    ASSERT_EQ(watcher.tick().pidsOf(c.name), std::vector<int>{});
    for (std::int64_t age = 250; age < c.ageMs; age += 250) watcher.tick();
    ASSERT_TRUE(child.exec());
    const auto execAt = watcher.now;
    bool seen = false;
    while (!seen && watcher.now - execAt < c.withinMs)
        seen = watcher.tick().pidsOf(c.name) == std::vector{child.pid()};
    EXPECT_TRUE(seen) << c.name << " not seen within " << c.withinMs << " ms after its exec";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessScannerExec,
    ::testing::Values(ExecCase{"pdw-young-exec", 64, 250, 250},    // the node exec'd right after start
                      ExecCase{"pdw-young-later", 64, 9750, 250},  // still young after nine seconds
                      ExecCase{"pdw-old-exec", 64, 30000, 2000},   // an old process: within two seconds
                      ExecCase{"pdw-young-closed", 0, 250, 250},   // no name file kept open
                      ExecCase{"pdw-old-closed", 0, 30000, 2000},
                      ExecCase{"pdw-young-unlisted", 64, 250, 250, never},  // an exec lists nothing new
                      ExecCase{"pdw-old-unlisted", 64, 30000, 2000, never}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::erase(name, '-');
        return name;
    });

TEST(ProcessScanner, AProcessThatStartsOrEndsIsSeenOnTheNextScan) {
    test::Scratch scratch;
    struct Case {
        const char* name;
        std::size_t maxOpen;
        std::int64_t relistMs;
    };
    for (const auto& c :
         {Case{"pdw-start-end", 64, ScanTiming{}.relistMs}, Case{"pdw-start-end-0", 0, ScanTiming{}.relistMs},
          Case{"pdw-start-end-unlisted", 64, never}}) {
        const std::string name = c.name;
        const auto maxOpen = c.maxOpen;
        fs::create_symlink("/bin/sleep", scratch / name);
        Watcher watcher(maxOpen, c.relistMs);
        for (int i = 0; i < 60; ++i) watcher.tick();  // old by the scanner's clock
        Execer child(scratch / name);
        ASSERT_TRUE(child.exec());
        EXPECT_EQ(watcher.tick().pidsOf(name), std::vector{child.pid()}) << "started, maxOpen " << maxOpen;
        for (int i = 0; i < 60; ++i) watcher.tick();
        ASSERT_EQ(watcher.tick().pidsOf(name), std::vector{child.pid()});
        child.end();
        EXPECT_EQ(watcher.tick().pidsOf(name), std::vector<int>{}) << "ended, maxOpen " << maxOpen;
    }
}

TEST(ProcessScanner, SnapshotsTakenBeforeAChangeKeepWhatTheyShowed) {
    test::Scratch scratch;
    fs::create_symlink("/bin/sleep", scratch / "pdw-snapshot");
    Watcher watcher(64);
    const auto before = watcher.tick();
    Execer child(scratch / "pdw-snapshot");
    ASSERT_TRUE(child.exec());
    const auto after = watcher.tick();
    EXPECT_TRUE(after.has("pdw-snapshot"));
    EXPECT_FALSE(before.has("pdw-snapshot"));
}

}  // namespace
}  // namespace pd
