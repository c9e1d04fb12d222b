// From the reading that completes the triple check to the blockcounter's end signal, on the
// real clock: the main window's blockcounter on our scheduler and the steady clock, driven
// by a loop that waits for the next deadline as the front end's bridge does, with a
// simulated cli that answers every poll at once. The blockcounter's own waits between the
// two (the stage timers' intervals) are printed beside it: everything above them is latency
// we add.
//
// Usage: synced_to_end_bench [--runs N]
// Last line: synced_to_end_signal_ms: VALUE   (median of the runs)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "core/SettingsStore.hpp"
#include "main/MainWindow.hpp"
#include "platform/fake/FakePlatform.hpp"

namespace {

using Steady = std::chrono::steady_clock;

struct Run {
    double measured = 0;  // ms from the reading to the end signal
    double waits = 0;     // ms the stage timers between them wait by design
};

Run once() {
    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::MemoryStore store;
    pd::FakePlatform platform;
    store.write("BENCH", "PACEDECK_HOME_TEXTBOX", "/home/bench/PD");
    store.write("BENCH", "DAEMOND_NAME_TEXTBOX", "benchcoind");
    store.write("BENCH", "DAEMONCLI_NAME_SETTINGS_TEXTBOX", "benchcoin-cli");
    store.write("BENCH", "USER_COUNT_TIME_TEXTBOX", "00:00:01");
    store.write("BENCH", "FINISH_WHEN_IDENTICAL_TICKBOX", "1");
    platform.running.insert("benchcoind");
    pd::App app("BENCH", store, platform, pd::posixProfile("/home/bench"), scheduler);
    auto& w = app.start<pd::MainWindow>();
    w.TASK_9_MAIN_TIMER.onTick = nullptr;  // the run's later stages are not measured here
    const auto script = w.home().script(pd::Script::RunBlockcounter);
    platform.files[script] = "benchcoin-cli getblockcount\n";

    Steady::time_point reading{};
    Steady::time_point end{};
    w.CURRENT_STATUS_LABEL.observe([&](const pd::Element& e) {
        if (e.text() == "!!! BLOCKCOUNTER - BLOCKCOUNT UPDATED !!!" &&
            w.TRIPLE_CHECK_TEXTBOX.back() == pd::colour::pink)
            reading = Steady::now();
    });
    w.TASK_9_LIGHT.observe([&](const pd::Element& e) {
        if (e.back() == pd::colour::green && end == Steady::time_point{}) end = Steady::now();
    });
    w.blockcounter.startFromPipeline();

    std::size_t answered = 0;
    while (end == Steady::time_point{}) {
        if (auto due = scheduler.nextDue()) {
            const auto wait = *due - scheduler.now();
            if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        scheduler.runDue();
        // The cli answers at once, always with the same height.
        for (; answered < platform.launches.size(); ++answered)
            if (platform.launches[answered].what == script)
                platform.files[w.home().latestBlockcount()] = "4242\n";
    }
    double waits = 0;
    for (auto* stage : {&w.ZERO_EMPTY_TEXTBOX_CHECKER_TIMER, &w.IDENTICAL_CHECKER_TIMER, &w.CHECKER_TIMER,
                        &w.TRIPLE_CHECK_TIMER, &w.COMPLETED_TIMER})
        waits += stage->interval();
    return {std::chrono::duration<double, std::milli>(end - reading).count(), waits};
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--runs") runs = std::max(1, std::atoi(argv[i + 1]));
    std::vector<double> measured;
    double waits = 0;
    for (int r = 0; r < runs; ++r) {
        const auto run = once();
        measured.push_back(run.measured);
        waits = run.waits;
        std::printf("run %d: %.1f ms from the reading to the end signal\n", r + 1, run.measured);
    }
    std::sort(measured.begin(), measured.end());
    const double median = measured[measured.size() / 2];
    std::printf("the blockcounter's own waits: %.0f ms; added: %.1f ms\n", waits, median - waits);
    std::printf("synced_to_end_signal_ms: %.1f\n", median);
    return 0;
}
