#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "PlatformTestSupport.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd::test {

// A question to the node cancelled while its cli hangs (STOP, MANUAL FINISH, the override):
// the cancel and the drop that follows wait for nothing, well inside the 60 s bound a
// command is otherwise waited for, and the command is ended with what it started.
TEST(RunningCommand, ACancelWaitsForNothingAndEndsTheCommandWithWhatItStarted) {
    Scratch dir;
    PosixPlatform platform;
    const auto pids = dir / "pids";
    // A shell and a child it waits for, as a cli script does; neither ends by itself.
    auto command =
        platform.startCommand("echo $$ > '" + pids + "'; sleep 600 & echo $! >> '" + pids + "'; wait");
    std::vector<pid_t> started;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto text = slurp(pids);
            started.clear();
            for (const auto& line : text ? linesOf(*text) : std::vector<std::string>{})
                started.push_back(static_cast<pid_t>(std::stol(line)));
            return started.size() == 2;
        },
        10s));
    EXPECT_FALSE(command->poll());

    std::atomic<bool> done = false;
    std::thread loop([&] {
        command->cancel();
        EXPECT_TRUE(command->poll());  // at once: nobody waits for its end
        command.reset();
        done = true;
    });
    EXPECT_TRUE(waitUntil([&] { return done.load(); }, 30s));
    loop.join();
    EXPECT_TRUE(waitUntil(
        [&] {
            for (auto pid : started)
                if (::kill(pid, 0) == 0) return false;
            return true;
        },
        20s));
}

}  // namespace pd::test
