#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "PlatformTestSupport.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd::test {

// A question to the node cancelled while its cli hangs (STOP, MANUAL FINISH, the override):
// the cancel and the drop that follows wait for nothing, well inside the 60 s bound a
// command is otherwise waited for, and what the command started is ended too.
TEST(RunningCommand, ACancelWaitsForNothingAndEndsTheCommandWithWhatItStarted) {
    Scratch dir;
    PosixPlatform platform;
    const auto pidFile = dir / "pid";
    auto command = platform.startCommand("sleep 600 & echo $! > '" + pidFile + "'; wait");
    pid_t started = 0;
    ASSERT_TRUE(waitUntil([&] { return (started = pidIn(pidFile)) > 0; }, 10s));
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
    EXPECT_TRUE(waitUntil([&] { return processEnded(started); }, 20s));
}

}  // namespace pd::test
