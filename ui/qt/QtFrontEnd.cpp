#include "ui/qt/QtFrontEnd.hpp"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace pd::qt {

namespace {
QString toQ(const std::string& s) {
    return QString::fromStdString(s);
}
constexpr int screenshotDelayMs = 1500;  // lets the first ticks paint lights and clocks
}  // namespace

QtFrontEnd::QtFrontEnd(App& app) : app_(app) {
    onQuit = [] { QApplication::quit(); };
    app_.setFrontEnd(this);
    app_.setDialogs(*this);
    app_.setDesktop(&desktop_);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &context_, [this] { runTimers(); });
    app_.scheduler().onChange = [this] { armTimer(); };
    armTimer();
}

QtFrontEnd::~QtFrontEnd() {
    app_.scheduler().onChange = nullptr;
    if (app_.frontEnd() == this) app_.setFrontEnd(nullptr);
    if (&app_.desktop() == &desktop_) app_.setDesktop(nullptr);
    timer_.stop();
    for (auto& [window, view] : views_)
        if (view) view->detach();
    for (auto& [window, view] : views_)
        if (view && !view->parentWidget()) delete view.data();  // owned views go with their owner
}

// ---------------------------------------------------------------- scheduler bridge

void QtFrontEnd::armTimer() {
    auto due = app_.scheduler().nextDue();
    if (!due) {
        timer_.stop();
        return;
    }
    auto wait = std::clamp<std::int64_t>(*due - app_.scheduler().now(), 0, INT_MAX);
    timer_.start(static_cast<int>(wait));
}

void QtFrontEnd::runTimers() {
    app_.scheduler().runDue();
    collectClosed();
    armTimer();
}

void QtFrontEnd::afterEvent() {
    // The handler that closed a window may still be on the stack: destroy it afterwards.
    if (collectPosted_) return;
    collectPosted_ = true;
    QTimer::singleShot(0, &context_, [this] {
        collectPosted_ = false;
        collectClosed();
    });
}

void QtFrontEnd::collectClosed() {
    // Inside a dialog a handler of some window waits for the answer; it may be one that
    // closed meanwhile, so nothing is destroyed until the dialog has returned.
    if (dialogDepth_ > 0) return;
    app_.collectClosed();
}

// ---------------------------------------------------------------- windows

WindowView* QtFrontEnd::viewOf(const Window& window) const {
    auto it = views_.find(&window);
    return it == views_.end() ? nullptr : it->second.data();
}

void QtFrontEnd::windowOpened(Window& window) {
    QWidget* ownerView = window.owner() ? viewOf(*window.owner()) : nullptr;
    auto* view = new WindowView(window, ownerView, [this] { afterEvent(); });
    views_[&window] = view;
    // A window kept on top would cover the windows it owns: they share its band.
    if (view->staysOnTop()) view->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    view->show();
    if (!window.owner() && std::getenv("PACEDECK_SCREENSHOT")) screenshotLater(*view);
}

void QtFrontEnd::windowClosed(Window& window) {
    // The icon is the copy's while its main window is open.
    if (app_.running() && &window == &app_.main()) desktop_.removeTray();
    auto it = views_.find(&window);
    if (it == views_.end()) return;
    QPointer<WindowView> view = it->second;
    views_.erase(it);
    if (!view) return;
    view->detach();
    view->hide();
    view->deleteLater();
    afterEvent();
}

void QtFrontEnd::keepOnTop(Window& window) {
    if (auto* view = viewOf(window)) view->keepOnTop();
}

void QtFrontEnd::quit() {
    if (onQuit) onQuit();
}

void QtFrontEnd::screenshotLater(WindowView& view) {
    QPointer<WindowView> target = &view;
    QTimer::singleShot(screenshotDelayMs, &context_, [target] {
        if (!target) return;
        const QString path = QString::fromLocal8Bit(std::getenv("PACEDECK_SCREENSHOT"));
        if (!target->grab().save(path))
            std::fprintf(stderr, "pacedeck: could not save the screenshot to %s\n",
                         path.toLocal8Bit().constData());
        target->close();
    });
}

// ---------------------------------------------------------------- dialogs

std::optional<std::string> QtFrontEnd::browseFolder(Window& owner, const std::string& title,
                                                    const std::string& startFolder) {
    QFileDialog dialog(viewOf(owner), toQ(title), toQ(startFolder));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    keepAboveOwner(dialog, owner);
    ++dialogDepth_;
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    --dialogDepth_;
    const QString folder = chosen ? dialog.selectedFiles().front() : QString();
    afterEvent();
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

std::optional<std::string> QtFrontEnd::openFile(Window& owner, const std::string& title,
                                                const std::string& filter,
                                                const std::string& defaultExtension,
                                                const std::string& startFolder) {
    QFileDialog dialog(viewOf(owner), toQ(title), toQ(startFolder), qtFileFilter(filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(toQ(defaultExtension));
    keepAboveOwner(dialog, owner);
    ++dialogDepth_;
    // The answer is the dialog's result, so this one waits; timers keep ticking meanwhile.
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    --dialogDepth_;
    afterEvent();
    if (!chosen) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

void QtFrontEnd::message(Window& owner, const std::string& title, const std::string& text) {
    // Nothing waits for an OK: the box is modal to its window and goes away when read.
    auto* ownerView = viewOf(owner);
    auto* box = new QMessageBox(QMessageBox::Information, toQ(title), toQ(text), QMessageBox::Ok, ownerView);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (ownerView && ownerView->staysOnTop()) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box->setWindowModality(box->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    box->show();
}

bool QtFrontEnd::ask(Window& owner, const std::string& title, const std::string& question) {
    QMessageBox box(QMessageBox::Question, toQ(title), toQ(question), QMessageBox::Yes | QMessageBox::No,
                    viewOf(owner));
    box.setDefaultButton(QMessageBox::No);
    keepAboveOwner(box, owner);
    ++dialogDepth_;
    // The answer decides what the caller does, so this one waits; timers keep ticking meanwhile.
    const bool yes = box.exec() == QMessageBox::Yes;
    --dialogDepth_;
    afterEvent();
    return yes;
}

void QtFrontEnd::showMain() {
    if (!app_.running()) return;
    if (auto* view = viewOf(app_.main())) {
        view->showNormal();
        view->raise();
        view->activateWindow();
    }
}

void QtFrontEnd::keepAboveOwner(QWidget& dialog, Window& owner) const {
    if (auto* ownerView = viewOf(owner); ownerView && ownerView->staysOnTop())
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

QString qtFileFilter(const std::string& filter) {
    const QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description may already name its patterns: Qt reads the last parentheses.
        if (auto open = description.lastIndexOf(QLatin1Char('('));
            open > 0 && description.endsWith(QLatin1Char(')')))
            description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (auto& p : patterns)
            if (p.trimmed() == QLatin1String("*.*")) p = QStringLiteral("*");  // any file, dot or not
        out << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')).trimmed() +
                   QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

}  // namespace pd::qt
