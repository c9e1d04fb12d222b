#pragma once
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <map>

#include "core/App.hpp"
#include "core/FrontEnd.hpp"
#include "ui/qt/QtDesktop.hpp"
#include "ui/qt/WindowView.hpp"

namespace pd::qt {

// The Qt front end of an App: renders every window the App opens, answers the dialogs,
// and drives the App's scheduler from Qt's event loop with one single-shot timer armed
// for the next deadline. Closed windows are destroyed only between events.
//
// Debugging aid: with PACEDECK_SCREENSHOT=path in the environment, the main window is
// saved to that image shortly after it is shown and then closed as its close box would.
class QtFrontEnd final : public FrontEnd, public Dialogs {
  public:
    explicit QtFrontEnd(App& app);
    ~QtFrontEnd() override;
    QtFrontEnd(const QtFrontEnd&) = delete;
    QtFrontEnd& operator=(const QtFrontEnd&) = delete;

    // FrontEnd
    void windowOpened(Window& window) override;
    void windowClosed(Window& window) override;
    void keepOnTop(Window& window) override;
    void quit() override;

    // Dialogs
    std::optional<std::string> browseFolder(Window& owner, const std::string& title,
                                            const std::string& startFolder) override;
    std::optional<std::string> openFile(Window& owner, const std::string& title, const std::string& filter,
                                        const std::string& defaultExtension,
                                        const std::string& startFolder) override;
    void message(Window& owner, const std::string& title, const std::string& text) override;
    bool ask(Window& owner, const std::string& title, const std::string& question) override;

    // The tray icon and the notifications.
    QtDesktop& desktop() { return desktop_; }
    // The view of an open window, or nullptr.
    WindowView* viewOf(const Window& window) const;
    // What ending the program does; QApplication::quit unless replaced (tests).
    std::function<void()> onQuit;

  private:
    void armTimer();
    void runTimers();
    void afterEvent();
    void collectClosed();
    void screenshotLater(WindowView& view);
    // A dialog of a window kept on top is kept on top too, or it would open behind it.
    void keepAboveOwner(QWidget& dialog, Window& owner) const;
    // The tray menu's Show: the main window in front, as it was before it was hidden.
    void showMain();

    App& app_;
    QObject context_;  // owns our connections: nothing fires after destruction
    QTimer timer_;
    std::map<const Window*, QPointer<WindowView>> views_;
    int dialogDepth_ = 0;
    bool collectPosted_ = false;
    QtDesktop desktop_{[this] { showMain(); }};
};

// A file-dialog filter "Text (*.txt)|*.txt|All files (*.*)|*.*" in Qt's form.
QString qtFileFilter(const std::string& filter);

}  // namespace pd::qt
