#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/App.hpp"
#include "core/Scheduler.hpp"
#include "platform/fake/FakePlatform.hpp"

namespace pd {

namespace {
// A bare window for timers that belong to no real window.
class TimerHost final : public Window {
  public:
    explicit TimerHost(App& app) : Window(app, "PACEDECK_ABOUT", "host") {}
    LayoutNode layout() override { return {}; }
    Timer a{*this, "a"};
    Timer b{*this, "b"};
    Timer c{*this, "c"};
};

struct SchedulerTest : ::testing::Test {
    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app{"X", store, platform, posixProfile("/h"), scheduler};
    TimerHost& host = app.open<TimerHost>(nullptr, false);
    std::vector<std::string> log;

    void record(Timer& t) {
        t.onTick = [this, &t] { log.push_back(t.name() + "@" + std::to_string(clock.nowMs())); };
    }
};
}  // namespace

TEST_F(SchedulerTest, FirstTickComesOneIntervalAfterEnablingAndTiesFollowEnableOrder) {
    record(host.a);
    record(host.b);
    host.b.setInterval(1000);
    host.a.setInterval(1000);
    host.b.start();
    host.a.start();
    scheduler.advance(999, clock);
    EXPECT_TRUE(log.empty());
    scheduler.advance(2001, clock);
    EXPECT_EQ(log, (std::vector<std::string>{"b@1000", "a@1000", "b@2000", "a@2000", "b@3000", "a@3000"}));
}

TEST_F(SchedulerTest, EnablingARunningTimerKeepsItsPhaseAndDisablingStopsIt) {
    record(host.a);
    host.a.setInterval(250);
    host.a.start();
    scheduler.advance(100, clock);
    host.a.start();  // already running: no restart
    scheduler.advance(150, clock);
    EXPECT_EQ(log, (std::vector<std::string>{"a@250"}));
    host.a.stop();
    scheduler.advance(1000, clock);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(SchedulerTest, AHandlerCanHandOverToAnotherTimerAndStopItself) {
    host.a.setInterval(1000);
    host.b.setInterval(3000);
    host.a.onTick = [&] {
        log.push_back("a@" + std::to_string(clock.nowMs()));
        host.b.start();
        host.a.stop();
    };
    host.b.onTick = [&] {
        log.push_back("b@" + std::to_string(clock.nowMs()));
        host.b.stop();
    };
    host.a.start();
    scheduler.advance(10000, clock);
    EXPECT_EQ(log, (std::vector<std::string>{"a@1000", "b@4000"}));
}

TEST_F(SchedulerTest, RealClockKeepsAFixedPhaseAndRealignsAfterAStall) {
    record(host.a);
    host.a.setInterval(1000);
    host.a.start();   // due at 1000
    clock.set(1300);  // a late wake-up: fires once, next due stays on the 1000 ms grid
    scheduler.runDue();
    EXPECT_EQ(scheduler.nextDue(), 2000);
    clock.set(5500);  // a stall of several intervals: one tick, then realigned
    EXPECT_EQ(scheduler.runDue(), 1);
    EXPECT_EQ(scheduler.nextDue(), 6500);
}

TEST_F(SchedulerTest, IntervalZeroNeverTicksAndClosedWindowsStopTicking) {
    record(host.a);
    record(host.c);
    host.c.setInterval(100);
    host.a.start();
    host.c.start();
    scheduler.advance(100, clock);
    EXPECT_EQ(log, (std::vector<std::string>{"c@100"}));
    host.close();
    scheduler.advance(1000, clock);
    EXPECT_EQ(log.size(), 1u);
}

}  // namespace pd
