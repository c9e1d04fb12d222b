#include <gtest/gtest.h>

#include "WinGuiHarness.hpp"

namespace pd::test {
namespace {

// Whether the shell knows the icon: it changes an icon it has and refuses one it has not.
bool shellHasIcon(const win32ui::Win32Desktop& desktop) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = desktop.window();
    data.uID = win32ui::Win32Desktop::iconId;
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

}  // namespace

TEST(Tray, TheIconIsAddedWithTheMainWindowItsBalloonTellsAFaultAndTheIconGoesWithTheWindow) {
    WinGuiHarness h("WINTRAY");
    auto& desktop = h.frontEnd.desktop();
    auto& w = h.start();
    ASSERT_TRUE(shellHasIcon(desktop)) << "the shell has no icon of the copy";

    // A fault met during a run is the balloon's, in the copy's words.
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    w.BLOCKCOUNT_LOG_START_TEXTBOX.setText("1000");
    w.BLOCKCOUNT_LOG_END_TEXTBOX.setText("1020");
    w.presence.alert("!!! NODE STUCK !!!");
    h.pump();
    ASSERT_TRUE(desktop.lastBalloon());
    EXPECT_EQ(desktop.lastBalloon()->title, L"PACEDECK - WINTRAY");
    EXPECT_EQ(desktop.lastBalloon()->text, L"!!! NODE STUCK !!!\nBLOCKS DOWNLOADED: 20 - RUN TIME: 00:00:00");
    EXPECT_TRUE(desktop.lastBalloon()->taken);

    // Switched off, the icon goes; on again, it is back.
    w.TRAY_NOTIFY_TICKBOX.setTicked(false);
    EXPECT_FALSE(shellHasIcon(desktop));
    w.TRAY_NOTIFY_TICKBOX.setTicked(true);
    EXPECT_TRUE(shellHasIcon(desktop));

    w.close();
    h.pump();
    EXPECT_FALSE(shellHasIcon(desktop));
}

}  // namespace pd::test
