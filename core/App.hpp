#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/Desktop.hpp"
#include "core/FrontEnd.hpp"
#include "core/Profile.hpp"
#include "core/Scheduler.hpp"
#include "core/SettingsStore.hpp"
#include "core/Window.hpp"
#include "platform/Platform.hpp"

namespace pd {

// Owns what the windows share: the settings store, the platform, the profile, the
// scheduler, the executable's name and the open windows.
class App {
  public:
    App(std::string exe, SettingsStore& store, Platform& platform, Profile profile, Scheduler& scheduler);
    App(const App&) = delete;
    App& operator=(const App&) = delete;
    ~App();

    const std::string& exe() const { return exe_; }
    // The running copy's own file, by the name it was started under; empty when unknown.
    const std::string& ownFile() const { return ownFile_; }
    void setOwnFile(std::string path) { ownFile_ = std::move(path); }
    SettingsStore& store() const { return store_; }
    Platform& platform() const { return platform_; }
    const Profile& profile() const { return profile_; }
    Scheduler& scheduler() const { return scheduler_; }
    Dialogs& dialogs() const { return *dialogs_; }
    void setDialogs(Dialogs& dialogs) { dialogs_ = &dialogs; }
    // The tray icon and notifications; none until a front end gives its own.
    Desktop& desktop() const { return *desktop_; }
    void setDesktop(Desktop* desktop) { desktop_ = desktop ? desktop : &noDesktop_; }
    void setFrontEnd(FrontEnd* frontEnd) { frontEnd_ = frontEnd; }
    FrontEnd* frontEnd() const { return frontEnd_; }

    // Opens the program's main window, the one whose closing ends the program. The core
    // knows it only as a window; the windows layer gives it its type (mainWindow(app)).
    template <class W>
    W& start() {
        auto& w = open<W>(nullptr, false);
        main_ = &w;
        return w;
    }
    Window& main() const { return *main_; }
    bool running() const { return main_ != nullptr && !quit_; }

    // Opens a window owned by another; modal windows block input to their owner but
    // never block code or timers, so this returns at once.
    template <class W, class... Args>
    W& open(Window* owner, bool modal = true, Args&&... args) {
        auto window = std::make_unique<W>(*this, std::forward<Args>(args)...);
        W& ref = *window;
        adopt(std::move(window), owner, modal);
        return ref;
    }

    // The open window of that type, if any.
    template <class W>
    W* find() const {
        for (auto& w : windows_)
            if (w->isOpen())
                if (auto* typed = dynamic_cast<W*>(w.get())) return typed;
        return nullptr;
    }
    std::vector<Window*> openWindows() const;

    // Reads a setting, or the fallback when it is absent. A key that could not be read
    // also gives the fallback, is told once (onStoreUnreadable, with the reason) and is
    // never written over while the program runs: its stored value is still there.
    std::string readSetting(std::string_view section, std::string_view key, std::string_view fallback);
    std::function<void(const std::string& key, const std::string& why)> onStoreUnreadable;
    bool unreadable(std::string_view section, std::string_view key) const;

    // Writes a setting; a failed write is reported once in the status line by the
    // main window's reporter (the store keeps what it had).
    bool writeSetting(std::string_view section, std::string_view key, std::string_view value);
    std::function<void(const std::string&)> onStoreFailure;
    // Commits the writes of one Save; a commit that fails is reported the same way, naming
    // what was being saved.
    bool commitSettings(SettingsStore::Batch& batch, std::string_view what);

    // For Window.
    void windowClosed(Window& window);
    // Destroys closed windows; called between events, never from a handler.
    void collectClosed();

  private:
    void adopt(std::unique_ptr<Window> window, Window* owner, bool modal);

    std::string exe_;
    std::string ownFile_;
    SettingsStore& store_;
    Platform& platform_;
    Profile profile_;
    Scheduler& scheduler_;
    NoDialogs noDialogs_;
    Dialogs* dialogs_ = &noDialogs_;
    NoDesktop noDesktop_;
    Desktop* desktop_ = &noDesktop_;
    FrontEnd* frontEnd_ = nullptr;
    std::set<std::pair<std::string, std::string>> unreadable_;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<std::unique_ptr<Window>> closed_;
    Window* main_ = nullptr;
    bool quit_ = false;
};

// The executable's file name without its folder and without the profile's program suffix
// (".exe", in any letter case), as argv[0] names it; any other dot is part of the name.
std::string exeNameFrom(std::string_view argv0, std::string_view programSuffix);

}  // namespace pd
