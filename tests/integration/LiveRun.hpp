// What whole runs on this machine share: a copy of the program on the real platform and
// clock, a local SMTP sink that keeps what Debian's sendemail delivers, and readers for the
// end report. Used by the end-to-end runs against the simulated node and the real one.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SqliteStore.hpp"
#include "sim/SimHarness.hpp"

namespace pd::test {

inline constexpr auto completed = "!!! COMPLETED SUCCESSFULLY !!!";

// Keeps every message it receives as a file, message-001.eml and so on.
class SmtpSink {
  public:
    explicit SmtpSink(const simtest::ScratchDir& dir);
    bool ready();
    std::uint16_t port() const { return port_; }
    std::vector<std::string> messages() const;
    bool waitForMessages(std::size_t n);

  private:
    std::string folder_;
    std::uint16_t port_;
    std::unique_ptr<simtest::Process> process_;
};

// One copy of the program on the real platform and clock, its settings in the scratch
// folder (or in the settings file given).
struct LiveCopy {
    LiveCopy(const simtest::ScratchDir& dir, std::string exe)
        : LiveCopy(dir, std::move(exe), dir / "settings.sqlite3") {}
    LiveCopy(const simtest::ScratchDir& dir, std::string exe, const std::string& settingsFile)
        : store(settingsFile),
          profile(posixProfile(dir.path())),
          app(std::move(exe), store, platform, profile, scheduler) {}

    // Drives the program's timers until the condition holds or the limit passes.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            scheduler.runDue();
            app.collectClosed();
            if (done()) return true;
            auto next = scheduler.nextDue();
            auto wait = next ? std::clamp<std::int64_t>(*next - scheduler.now(), 0, 20) : 20;
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        return done();
    }
    void put(std::string_view key, std::string_view value) { store.write(app.exe(), key, value); }
    std::string stored(std::string_view key) { return store.read(app.exe(), key, "<unset>"); }
    std::string status() { return mainWindow(app).CURRENT_STATUS_LABEL.text(); }

    SqliteStore store;
    PosixPlatform platform;
    Profile profile;
    SteadyClock clock;
    Scheduler scheduler{clock};
    App app;
};

std::string normalised(std::string text);
// The lines of a report, without line ends.
std::vector<std::string> lines(const std::string& text);
// The line that follows `title` in a report.
std::string after(const std::vector<std::string>& report, const std::string& title);
// The e-mail settings of a copy that mails through Debian's sendemail to the sink.
std::string mailToSink(const SmtpSink& sink, const std::string& more = "");

}  // namespace pd::test
