// A disabled element acts as in the Qt front end: it takes no focus and no click, and its tool
// tip shows when the mouse rests on it (Windows sends a disabled control no mouse messages).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "WinGuiHarness.hpp"
#include "platform/win32/WideText.hpp"

namespace pd::test {
namespace {

// Moves the mouse as a user does, to a point of the screen.
void moveMouseTo(POINT at) {
    ::SetCursorPos(at.x, at.y);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof move);
}

void clickAt(POINT at) {
    moveMouseTo(at);
    INPUT click[2] = {};
    for (auto& c : click) c.type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, click, sizeof(INPUT));
}

POINT centreOf(HWND control) {
    RECT r;
    ::GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void pumpFor(WinGuiHarness& h, std::chrono::milliseconds span) {
    for (auto until = std::chrono::steady_clock::now() + span; std::chrono::steady_clock::now() < until;) {
        h.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The text of the tip on screen, once one shows (within a generous bound), else empty.
std::wstring shownTip(WinGuiHarness& h, HWND tips) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
        h.pump();
        if (::IsWindowVisible(tips)) {
            wchar_t text[1024] = {};
            TTTOOLINFOW info{};
            info.cbSize = sizeof info;
            info.lpszText = text;
            if (::SendMessageW(tips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&info)) && text[0])
                return text;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
}

TEST(DisabledElements, TakeNoFocusNorClickAndShowTheirTipsUnderTheMouse) {
    WinGuiHarness h;
    auto& main = h.start();
    main.AUTOSTART_OVERRIDE_TIMER_TICKBOX.setToolTip("STARTS THE OVERRIDE TIMER WITH THE RUN");
    // The tool-tip refresher gives the time boxes their tips within a second.
    pumpFor(h, std::chrono::milliseconds(1500));
    const HWND tips = h.view(main).toolTips();
    const HWND away = h.control(main, "RUN_NOW_BUTTON");
    for (Element* e : std::initializer_list<Element*>{&main.FINISH_BLOCKCOUNTER_BUTTON,
                                                      &main.AUTOSTART_OVERRIDE_TIMER_TICKBOX,
                                                      &main.USER_OVERRIDE_TIME_TEXTBOX}) {
        ASSERT_FALSE(e->enabled()) << e->name();
        ASSERT_FALSE(e->toolTip().empty()) << e->name();
        const HWND control = h.control(main, e->name());
        EXPECT_FALSE(::IsWindowEnabled(control)) << e->name() << " must take no input";

        // Away first, so that the tip of the control is a new one.
        moveMouseTo(centreOf(away));
        pumpFor(h, std::chrono::milliseconds(300));
        moveMouseTo(centreOf(control));
        EXPECT_NE(shownTip(h, tips).find(win32::wide(e->toolTip())), std::wstring::npos) << e->name();

        const bool ticked = e->kind() == ElementKind::TickBox && static_cast<TickBox*>(e)->ticked();
        clickAt(centreOf(control));
        h.pump();
        EXPECT_NE(::GetFocus(), control) << e->name() << " took the focus";
        if (e->kind() == ElementKind::TickBox) {
            EXPECT_EQ(static_cast<TickBox*>(e)->ticked(), ticked) << e->name() << " took the click";
        }
    }
}

}  // namespace
}  // namespace pd::test
