#pragma once
#include <string>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/fake/FakePlatform.hpp"

namespace pd::test {

// An App on virtual time with a fake platform and an in-memory store: "eighteen seconds"
// of a run take microseconds and every ordering between timers is exact.
struct Harness {
    explicit Harness(std::string exe = "DEMO", Profile profile = posixProfile("/home/tester"))
        : app(std::move(exe), store, platform, std::move(profile), scheduler) {}

    MainWindow& start() { return app.start<MainWindow>(); }
    MainWindow& main() { return mainWindow(app); }
    void advance(std::int64_t ms) {
        scheduler.advance(ms, clock);
        app.collectClosed();
    }
    std::string stored(std::string_view key) { return store.read(app.exe(), key, "<unset>"); }
    void put(std::string_view key, std::string_view value) { store.write(app.exe(), key, value); }

    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app;
};

}  // namespace pd::test
