#pragma once
#include <functional>
#include <string>

#include "core/Colour.hpp"

namespace pd {

// What the tray icon's picture tells at a glance.
enum class TrayPicture { Idle, Running, Failed };

// The icon's state: its picture and its tool tip ("BTC - HEIGHT 1100 OF 1300 - ...").
struct TrayState {
    TrayPicture picture = TrayPicture::Idle;
    std::string tip;
    bool operator==(const TrayState&) const = default;
};

// One short desktop notification; a failure asks the desktop to keep it in sight.
struct Notice {
    std::string title;
    std::string body;
    bool failure = false;
};

// The disc each front end draws for a picture, so that both show the same icon: idle is
// blue with a pause sign, running green with a play sign, failed red with a cross.
constexpr Colour trayDiscColour(TrayPicture picture) {
    switch (picture) {
        case TrayPicture::Running:
            return 0x3A8C1E;
        case TrayPicture::Failed:
            return 0x2B39C0;
        case TrayPicture::Idle:
            break;
    }
    return 0x994D1A;
}

// What the user's clicks on the tray icon and on a notification ask of the copy.
struct DesktopActions {
    std::function<void()> reports;     // the menu's REPORTS / LOGS
    std::function<void()> exit;        // the menu's EXIT
    std::function<void()> openReport;  // a click on a notification
};

// How a copy shows itself outside its windows while it runs: one icon in the system tray
// and short notifications. The front ends implement it, as they do the dialogs; a front
// end of a desktop without a tray shows no icon and the program goes on as before.
// The tray menu's Show is the front end's own: it brings the main window forward.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Shows the icon, or changes its picture and tip; false where there is no tray.
    virtual bool showTray(const TrayState& state) = 0;
    virtual void removeTray() = 0;
    // Gives the notification without waiting for the desktop; false when it cannot be given
    // at all (no notification service). A notification replaces the copy's previous one.
    virtual bool notify(const Notice& notice) = 0;

    DesktopActions actions;
};

// No tray and no notifications: headless use and tests that do not look at them.
class NoDesktop final : public Desktop {
  public:
    bool showTray(const TrayState&) override { return false; }
    void removeTray() override {}
    bool notify(const Notice&) override { return false; }
};

}  // namespace pd
