#include "ui/qt/QtDesktop.hpp"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pd::qt {

namespace {
const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
// A service that does not answer in this time is taken as none: the run does not wait.
constexpr int noticeTimeoutMs = 3000;

QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}

QPixmap drawPicture(TrayPicture picture, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    p.setPen(QPen(Qt::white, s / 16));
    p.setBrush(QColor::fromRgb(static_cast<QRgb>(colour::toRgb(trayDiscColour(picture)))));
    p.drawEllipse(QRectF(s / 32, s / 32, s - s / 16, s - s / 16));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    switch (picture) {
        case TrayPicture::Idle:  // pause: two bars
            p.drawRect(QRectF(s * 0.33, s * 0.28, s * 0.12, s * 0.44));
            p.drawRect(QRectF(s * 0.55, s * 0.28, s * 0.12, s * 0.44));
            break;
        case TrayPicture::Running: {  // play: a triangle
            QPainterPath play;
            play.moveTo(s * 0.38, s * 0.26);
            play.lineTo(s * 0.74, s * 0.5);
            play.lineTo(s * 0.38, s * 0.74);
            play.closeSubpath();
            p.drawPath(play);
            break;
        }
        case TrayPicture::Failed:  // a cross
            p.setPen(QPen(Qt::white, s * 0.12, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
            p.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
            break;
    }
    return pixmap;
}

// Markup-capable services read the body as markup: a copy named "A&B" stays "A&B".
QString bodyText(const std::string& body) {
    return toQ(body).toHtmlEscaped();
}
}  // namespace

void NoticeClicks::actionInvoked(uint id, const QString&) {
    if (onClick) onClick(id);
}

QIcon trayPictureIcon(TrayPicture picture) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) icon.addPixmap(drawPicture(picture, size));
    return icon;
}

QtDesktop::QtDesktop(std::function<void()> showMain) : showMain_(std::move(showMain)) {
    clicks_.onClick = [this](uint id) {
        if (notices_.contains(id) && actions.openReport) actions.openReport();
    };
}

QtDesktop::~QtDesktop() {
    // The event loop has ended: the answers are waited for here, each within its timeout.
    while (onItsWay_) {
        onItsWay_->waitForFinished();
        answered();
    }
}

// ---------------------------------------------------------------- the tray icon

void QtDesktop::makeIcon() {
    menu_ = std::make_unique<QMenu>();
    QObject::connect(menu_->addAction(QStringLiteral("Show")), &QAction::triggered, &context_, [this] {
        if (showMain_) showMain_();
    });
    QObject::connect(menu_->addAction(QStringLiteral("REPORTS / LOGS")), &QAction::triggered, &context_,
                     [this] {
                         if (actions.reports) actions.reports();
                     });
    menu_->addSeparator();
    QObject::connect(menu_->addAction(QStringLiteral("EXIT")), &QAction::triggered, &context_, [this] {
        if (actions.exit) actions.exit();
    });
    icon_ = std::make_unique<QSystemTrayIcon>();
    icon_->setContextMenu(menu_.get());
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated, &context_,
                     [this](QSystemTrayIcon::ActivationReason why) {
                         if (why == QSystemTrayIcon::Trigger && showMain_) showMain_();
                     });
}

bool QtDesktop::showTray(const TrayState& state) {
    if (!icon_) {
        if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
        makeIcon();
        picture_.reset();
    }
    if (picture_ != state.picture) {
        icon_->setIcon(trayPictureIcon(state.picture));
        picture_ = state.picture;
    }
    icon_->setToolTip(toQ(state.tip));
    icon_->show();
    return true;
}

void QtDesktop::removeTray() {
    icon_.reset();
    menu_.reset();
}

// ---------------------------------------------------------------- notifications

bool QtDesktop::notify(const Notice& notice) {
    auto bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    if (!listening_)
        listening_ = bus.connect(service, path, service, QStringLiteral("ActionInvoked"), &clicks_,
                                 SLOT(actionInvoked(uint, QString)));
    if (onItsWay_)
        waiting_ = notice;  // only the latest one is worth showing
    else
        send(notice);
    return true;
}

void QtDesktop::send(const Notice& notice) {
    auto call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(notice.failure ? 2 : 1)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.syncward.pacedeck"));
    call << QStringLiteral("PACEDECK") << lastNotice_ << QStringLiteral("pacedeck") << toQ(notice.title)
         << bodyText(notice.body) << QStringList{QStringLiteral("default"), QStringLiteral("OPEN END REPORT")}
         << hints << -1;
    // Not waited for: a slow or missing service never holds the run.
    onItsWay_ = QDBusConnection::sessionBus().asyncCall(call, noticeTimeoutMs);
    const unsigned which = ++sent_;
    auto* watcher = new QDBusPendingCallWatcher(*onItsWay_, &context_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &context_,
                     [this, which](QDBusPendingCallWatcher* w) {
                         if (which == sent_ && onItsWay_) answered();
                         w->deleteLater();
                     });
}

void QtDesktop::answered() {
    const QDBusPendingReply<uint> reply = *onItsWay_;
    if (reply.isValid()) {
        lastNotice_ = reply.value();
        notices_.insert(lastNotice_);
    }
    onItsWay_.reset();
    if (waiting_) {
        const auto next = std::exchange(waiting_, std::nullopt);
        send(*next);
    }
}

}  // namespace pd::qt
