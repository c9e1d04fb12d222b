#pragma once
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <string>

#include "core/App.hpp"
#include "core/Clock.hpp"
#include "main/MainWindow.hpp"
#include "platform/fake/FakePlatform.hpp"
#include "ui/win32/Win32FrontEnd.hpp"

namespace pd::test {

// An App on the real clock with the Win32 front end, a fake platform and an in-memory
// store, on the display Wine shows its windows on.
struct WinGuiHarness {
    explicit WinGuiHarness(std::string exe = "WINGUI")
        : app(std::move(exe), store, platform, windowsProfile(), scheduler) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        frontEnd.onQuit = [this] { quitAsked = true; };
    }

    MainWindow& start() {
        auto& w = app.start<MainWindow>();
        pump();
        return w;
    }
    void pump() { frontEnd.processPending(); }
    win32ui::WindowView& view(const Window& w) { return *frontEnd.viewOf(w); }
    HWND control(const Window& w, std::string_view element) { return view(w).controlOf(*w.find(element)); }

    SteadyClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app;
    win32ui::Win32FrontEnd frontEnd{app};
    bool quitAsked = false;
};

}  // namespace pd::test
