#include <gtest/gtest.h>

#include <set>
#include <string>

#include "WinGuiHarness.hpp"

namespace pd::test {
namespace {

class Interaction : public ::testing::Test {
  protected:
    WinGuiHarness h;
};

TEST_F(Interaction, DoubleClicksOnLabelsAndTextBoxesReachTheirHandlers) {
    auto& main = h.start();
    std::set<ElementKind> kinds;
    for (auto* e : main.elements()) {
        if (!e->onDoubleClick || !e->enabled() || !e->visible()) continue;
        int heard = 0;
        e->onDoubleClick = [&heard] { ++heard; };
        ::SendMessageW(h.view(main).controlOf(*e), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        h.pump();
        EXPECT_EQ(heard, 1) << e->name();
        kinds.insert(e->kind());
    }
    EXPECT_TRUE(kinds.count(ElementKind::Label) && kinds.count(ElementKind::TextBox))
        << "the main window has double-clickable labels and text boxes";
}

struct Closing {
    const char* name;
    void (*close)(HWND window, HWND focus);
};

// A modal window takes its owner's input until it closes, by its close box or by Escape
// (through the message loop, as a key press arrives).
class ModalClosing : public ::testing::TestWithParam<Closing> {
  protected:
    WinGuiHarness h;
};

TEST_P(ModalClosing, TheOwnerHasItsInputBackWhenTheModalWindowCloses) {
    auto& main = h.start();
    ::SendMessageW(h.control(main, "SETTINGS_BUTTON"), BM_CLICK, 0, 0);
    h.pump();
    Window& settings = *h.app.openWindows().back();
    ASSERT_NE(&settings, &main);
    HWND owner = h.view(main).hwnd();
    HWND modal = h.view(settings).hwnd();
    EXPECT_FALSE(::IsWindowEnabled(owner)) << "the owner takes input while a modal window is open";
    EXPECT_TRUE(h.app.running());

    GetParam().close(modal, h.control(settings, "OK_BUTTON"));
    h.pump();
    EXPECT_FALSE(settings.isOpen());
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_TRUE(main.isOpen()) << "closing an owned window leaves the program running";
}

INSTANTIATE_TEST_SUITE_P(
    Win32, ModalClosing,
    ::testing::Values(
        Closing{"CloseBox", [](HWND window, HWND) { ::PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0); }},
        Closing{"Escape", [](HWND, HWND focus) { ::PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pd::test
