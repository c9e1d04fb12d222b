#pragma once
#include <QBoxLayout>
#include <QPoint>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "core/Window.hpp"
#include "ui/qt/ElementView.hpp"

class QGridLayout;

namespace pd::qt {

// A window on screen, rendered from its declared layout. Caption and geometry follow
// the window; the user's moves are reported in twips; the close box closes the window
// as code would (the core runs its unload). Modal windows block input to their owner
// only: opening one never waits. Escape closes an owned window as its close box does;
// Enter presses the layout's default button.
//
// A window opens where the settings left it. One with no stored place opens beside its
// owner, where it covers the least of it, inside the screen; that place is then the
// window's own, as if the user had moved it there.
class WindowView final : public QWidget {
  public:
    WindowView(Window& window, QWidget* ownerView, std::function<void()> afterUserAction);
    ~WindowView() override;
    WindowView(const WindowView&) = delete;
    WindowView& operator=(const WindowView&) = delete;

    Window* window() const { return window_; }
    // The window has closed: stop following it (its objects go away later).
    void detach();
    // Above all other windows; raised again when another window is in front. The windows
    // it owns stay above it.
    void keepOnTop();
    // This window or one of its owners is kept on top: so must be the windows it owns.
    bool staysOnTop() const;
    // Twips per pixel on this window's screen (1440 per inch of logical resolution).
    double twipsPerPixel() const;
    // The button Enter presses, if the layout names one.
    QPushButton* defaultButton() const { return defaultButton_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void add(QBoxLayout& into, const LayoutNode& node);
    void addChildren(QBoxLayout& into, const LayoutNode& node);
    void addGrid(QBoxLayout& into, const LayoutNode& node);
    QWidget* caption(const LayoutNode& node);
    QWidget* item(const LayoutNode& node);
    void followWindow();
    QPoint besideOwner() const;
    QPoint insideScreen(QPoint at) const;
    void raiseOwnedWindows();

    Window* window_;
    std::function<void()> afterUserAction_;
    std::vector<std::unique_ptr<ElementView>> elements_;
    QPointer<QPushButton> defaultButton_;
    QPoint placedAt_;
    bool placed_ = false;
    bool onTop_ = false;
};

}  // namespace pd::qt
