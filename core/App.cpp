#include "core/App.hpp"

#include <algorithm>
#include <cctype>

namespace pd {

App::App(std::string exe, SettingsStore& store, Platform& platform, Profile profile, Scheduler& scheduler)
    : exe_(std::move(exe)),
      store_(store),
      platform_(platform),
      profile_(std::move(profile)),
      scheduler_(scheduler) {}

App::~App() {
    // Windows hold timers registered with the scheduler: destroy children first.
    while (!windows_.empty()) windows_.pop_back();
    closed_.clear();
}

std::vector<Window*> App::openWindows() const {
    std::vector<Window*> out;
    for (auto& w : windows_)
        if (w->isOpen()) out.push_back(w.get());
    return out;
}

std::string App::readSetting(std::string_view section, std::string_view key, std::string_view fallback) {
    auto v = store_.lookup(section, key);
    if (v.status == StoredValue::Status::Found) return std::move(v.value);
    if (v.status == StoredValue::Status::Unreadable &&
        unreadable_.emplace(std::string(section), std::string(key)).second && onStoreUnreadable)
        onStoreUnreadable(std::string(key), v.error);
    return std::string(fallback);
}

bool App::unreadable(std::string_view section, std::string_view key) const {
    return unreadable_.contains({std::string(section), std::string(key)});
}

bool App::writeSetting(std::string_view section, std::string_view key, std::string_view value) {
    // The default shown for an unreadable key must not replace the value still stored.
    if (unreadable(section, key)) return false;
    if (store_.write(section, key, value)) return true;
    if (onStoreFailure) onStoreFailure(std::string(key));
    return false;
}

bool App::commitSettings(SettingsStore::Batch& batch, std::string_view what) {
    if (batch.commit()) return true;
    if (onStoreFailure) onStoreFailure(std::string(what));
    return false;
}

void App::adopt(std::unique_ptr<Window> window, Window* owner, bool modal) {
    Window& ref = *window;
    windows_.push_back(std::move(window));
    ref.opened(owner, modal);
    ref.runLoad();
    // The front end renders the loaded state; a window that closed while loading is gone.
    if (frontEnd_ && ref.isOpen()) frontEnd_->windowOpened(ref);
}

void App::windowClosed(Window& window) {
    if (frontEnd_) frontEnd_->windowClosed(window);
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](auto& w) { return w.get() == &window; });
    if (it != windows_.end()) {
        closed_.push_back(std::move(*it));
        windows_.erase(it);
    }
    if (&window == main_) {
        // The program ends with its main window: the others close with it.
        for (auto* w : openWindows()) w->close();
        quit_ = true;
        if (frontEnd_) frontEnd_->quit();
    }
}

void App::collectClosed() {
    closed_.clear();
}

std::string exeNameFrom(std::string_view argv0, std::string_view programSuffix) {
    auto slash = argv0.find_last_of("/\\");
    if (slash != std::string_view::npos) argv0.remove_prefix(slash + 1);
    // Only the program suffix goes: "LTC.main" and "LTC.test" are two copies.
    if (!programSuffix.empty() && argv0.size() > programSuffix.size()) {
        auto tail = argv0.substr(argv0.size() - programSuffix.size());
        bool same = std::equal(tail.begin(), tail.end(), programSuffix.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        if (same) argv0.remove_suffix(programSuffix.size());
    }
    return std::string(argv0);
}

}  // namespace pd
