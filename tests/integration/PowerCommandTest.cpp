#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "PlatformTestSupport.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/PowerAutotimerWindow.hpp"

namespace pd::test {

namespace {

// Stand-ins for the power tools that only write down how they were called.
std::string recordingStandIns(const Scratch& bin) {
    auto record = bin / "calls";
    for (const char* tool : {"systemctl", "loginctl"})
        bin.script(tool, std::string("echo \"") + tool + " $*\" >> '" + record + "'\n");
    return record;
}

std::vector<std::string> waitForCalls(const std::string& record, std::size_t count) {
    std::vector<std::string> calls;
    waitUntil(
        [&] {
            auto text = slurp(record);
            calls = text ? linesOf(*text) : std::vector<std::string>{};
            return calls.size() >= count;
        },
        5s);
    return calls;
}

}  // namespace

TEST(PowerCommand, EachPowerCommandReachesItsToolWithItsArguments) {
    Scratch bin;
    auto record = recordingStandIns(bin);
    auto path = pathFirst(bin.path());
    EnvChange session("XDG_SESSION_ID", "c42");
    PosixPlatform platform;
    const auto profile = posixProfile("/home/tester");
    for (const auto& command : profile.powerCommands) {
        auto started = platform.runCommand(command, WindowStyle::Hidden);
        EXPECT_TRUE(started) << command << ": " << started.error;
    }
    EXPECT_EQ(waitForCalls(record, 4),
              (std::vector<std::string>{"systemctl poweroff", "systemctl reboot", "systemctl hibernate",
                                        "loginctl terminate-session c42"}));
}

TEST(PowerCommand, CountdownWindowLaunchesTheRealCommandAtZero) {
    Scratch bin;
    auto record = recordingStandIns(bin);
    auto path = pathFirst(bin.path());
    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    store.write("DEMO", "CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:00:03");
    PosixPlatform platform;
    App app("DEMO", store, platform, posixProfile("/home/tester"), scheduler);
    auto& main = app.start<MainWindow>();
    main.AUTOTIMER_ACTION_TEXTBOX.setText("SHUTDOWN PC");
    app.open<PowerAutotimerWindow>(&main, false);

    scheduler.advance(2000, clock);
    EXPECT_FALSE(slurp(record).has_value()) << "nothing before zero";
    scheduler.advance(1000, clock);
    // The window closes once the system has taken the command (bounded wait on a real process).
    for (int i = 0; i < 2000 && app.find<PowerAutotimerWindow>(); ++i) {
        scheduler.advance(CommandQueue::pollMs, clock);
        app.collectClosed();
        ::usleep(5000);
    }
    EXPECT_EQ(app.find<PowerAutotimerWindow>(), nullptr);
    EXPECT_EQ(waitForCalls(record, 1), std::vector<std::string>{"systemctl poweroff"});
}

}  // namespace pd::test
