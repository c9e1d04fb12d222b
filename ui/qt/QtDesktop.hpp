#pragma once
#include <QDBusPendingCall>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "core/Desktop.hpp"

namespace pd::qt {

// The notification service's ActionInvoked signal, which reaches a slot by its name only.
class NoticeClicks final : public QObject {
    Q_OBJECT
  public:
    std::function<void(uint id)> onClick;
  public slots:
    void actionInvoked(uint id, const QString& action);
};

// The tray icon (QSystemTrayIcon) and the freedesktop notification service over the session
// bus (org.freedesktop.Notifications). Without a tray there is no icon; without the service
// no notification; the program goes on as before either way.
class QtDesktop final : public Desktop {
  public:
    // showMain: the menu's Show, and a click on the icon.
    explicit QtDesktop(std::function<void()> showMain);
    // Waits (bounded by the call's timeout) for notifications still on their way, so that the
    // last one of a run that closes itself is given.
    ~QtDesktop() override;
    QtDesktop(const QtDesktop&) = delete;
    QtDesktop& operator=(const QtDesktop&) = delete;

    bool showTray(const TrayState& state) override;
    void removeTray() override;
    bool notify(const Notice& notice) override;

    // The icon while it is shown, or nullptr.
    QSystemTrayIcon* trayIcon() const { return icon_.get(); }

  private:
    void makeIcon();
    // Sends a notice; its answer (the number the service gave it) comes later.
    void send(const Notice& notice);
    // The service answered the notice on its way: the next one, if any, replaces it.
    void answered();

    std::function<void()> showMain_;
    QObject context_;  // owns our connections: nothing fires after destruction
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
    std::optional<TrayPicture> picture_;
    NoticeClicks clicks_;
    bool listening_ = false;
    // A notice is replaced by the next one, so that a copy shows one at a time: the next one
    // waits for the number of the one on its way.
    uint lastNotice_ = 0;
    std::set<uint> notices_;
    std::optional<QDBusPendingCall> onItsWay_;
    unsigned sent_ = 0;  // which notice is on its way
    std::optional<Notice> waiting_;
};

// The icon of a picture, drawn at the sizes trays ask for.
QIcon trayPictureIcon(TrayPicture picture);

}  // namespace pd::qt
