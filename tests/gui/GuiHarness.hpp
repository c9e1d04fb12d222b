#pragma once
#include <QApplication>
#include <QWidget>
#include <string>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "main/MainWindow.hpp"
#include "platform/fake/FakePlatform.hpp"
#include "ui/qt/QtFrontEnd.hpp"

namespace pd::test {

// An App on the real clock with the Qt front end, a fake platform and an in-memory store.
struct GuiHarness {
    explicit GuiHarness(std::string exe = "GUI")
        : app(std::move(exe), store, platform, posixProfile("/home/tester"), scheduler) {
        frontEnd.onQuit = [this] { quitAsked = true; };
    }

    MainWindow& start() { return app.start<MainWindow>(); }
    pd::qt::WindowView& view(const Window& w) { return *frontEnd.viewOf(w); }
    template <class W>
    W& widget(const Window& w, const char* name) {
        auto* found = view(w).findChild<W*>(QString::fromLatin1(name));
        if (!found) throw std::runtime_error(std::string("no widget ") + name);
        return *found;
    }
    std::string stored(std::string_view key) { return store.read(app.exe(), key, "<unset>"); }

    SteadyClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app;
    pd::qt::QtFrontEnd frontEnd{app};
    bool quitAsked = false;
};

}  // namespace pd::test
