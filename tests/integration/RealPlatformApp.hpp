// An App on this machine's platform (real processes, files and scripts) with its timers on
// virtual time, which the test moves on while the real programs take their own.
#pragma once
#include <string>
#include <utility>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd::test {

struct RealPlatformApp {
    RealPlatformApp(std::string exe, Profile profile)
        : app(std::move(exe), store, platform, std::move(profile), scheduler) {}
    void advance(std::int64_t ms) { scheduler.advance(ms, clock); }

    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    PosixPlatform platform;
    App app;
};

}  // namespace pd::test
