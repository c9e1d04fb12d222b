// How far a one-second countdown falls behind wall time when driven on the real clock: our
// scheduler on the steady clock, a window's timer, and a loop that waits for the next
// deadline and runs what is due, as the front end's bridge does with its one timer. Every
// tenth tick the handler stalls for 200 ms. Real time only, so the default run takes ten
// minutes; it is not part of the tests.
//
// Usage: countdown_drift_bench [--minutes N]
// Last line: countdown_drift_ms_10min: VALUE   (ms behind wall time when the countdown ends;
// with --minutes other than 10 the name says the minutes run)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "core/SettingsStore.hpp"
#include "core/Timer.hpp"
#include "core/Window.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace {

using Steady = std::chrono::steady_clock;

struct Countdown final : pd::Window {
    explicit Countdown(pd::App& app) : Window(app, "Countdown", "Countdown") {}
    pd::LayoutNode layout() override { return {}; }

    void begin(int seconds) {
        left = seconds;
        tick.setInterval(1000);
        tick.onTick = [this] { second(); };
        started = Steady::now();
        tick.start();
    }
    void second() {
        ++ticks;
        if (--left == 0) {
            ended = Steady::now();  // the moment the countdown shows zero
            tick.stop();
            return;
        }
        if (ticks % 10 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(200));  // a slow handler
    }

    pd::Timer tick{*this, "COUNTDOWN_TIMER"};
    int left = 0;
    int ticks = 0;
    Steady::time_point started;
    Steady::time_point ended;
};

}  // namespace

int main(int argc, char** argv) {
    int minutes = 10;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--minutes") minutes = std::max(1, std::atoi(argv[i + 1]));

    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::MemoryStore store;
    pd::PosixPlatform platform;
    pd::App app("DRIFT", store, platform, pd::posixProfile("/tmp"), scheduler);
    auto& window = app.start<Countdown>();
    const int seconds = minutes * 60;
    window.begin(seconds);
    while (window.tick.enabled()) {
        if (auto due = scheduler.nextDue()) {
            const auto wait = *due - scheduler.now();
            if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        scheduler.runDue();
    }

    const double behind =
        std::chrono::duration<double, std::milli>(window.ended - window.started).count() - seconds * 1000.0;
    std::printf("%d one-second ticks, %d stalls of 200 ms; the countdown ended %.1f ms after %d s\n",
                window.ticks, window.ticks / 10, behind, seconds);
    std::printf("countdown_drift_ms_%dmin: %.1f\n", minutes, behind);
    return 0;
}
