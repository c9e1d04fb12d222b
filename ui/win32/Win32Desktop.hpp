#pragma once
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "core/Desktop.hpp"

namespace pd::win32ui {

// The copy's icon in the taskbar's notification area (Shell_NotifyIcon), its menu, and its
// balloon as the notification. Where the shell has no notification area (no taskbar) the
// icon is not added and the program goes on as before; a taskbar that starts again later
// gets the icon back.
class Win32Desktop final : public Desktop {
  public:
    // showMain: the menu's Show, and a click on the icon.
    explicit Win32Desktop(std::function<void()> showMain);
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    bool showTray(const TrayState& state) override;
    void removeTray() override;
    bool notify(const Notice& notice) override;

    // The window the shell talks to and the icon's number: together they name the icon.
    HWND window() const { return hwnd_; }
    static constexpr UINT iconId = 1;
    // The last balloon asked for, as given to the shell, and whether the shell took it.
    struct Balloon {
        std::wstring title;
        std::wstring text;
        bool taken = false;
    };
    const std::optional<Balloon>& lastBalloon() const { return balloon_; }

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    NOTIFYICONDATAW iconData(UINT flags) const;
    void showMenu();

    std::function<void()> showMain_;
    HWND hwnd_ = nullptr;
    UINT taskbarCreated_ = 0;
    bool added_ = false;
    std::optional<TrayState> state_;
    std::array<HICON, 3> icons_{};
    std::optional<Balloon> balloon_;
};

}  // namespace pd::win32ui
