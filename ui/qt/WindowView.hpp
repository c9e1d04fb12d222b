#pragma once
#include <QBoxLayout>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "core/Window.hpp"
#include "ui/qt/ElementView.hpp"

namespace pd::qt {

// A window on screen, rendered from its declared layout. Caption and geometry follow
// the window; the user's moves are reported in twips; the close box closes the window
// as code would (the core runs its unload). Modal windows block input to their owner
// only: opening one never waits.
class WindowView final : public QWidget {
  public:
    WindowView(Window& window, QWidget* ownerView, std::function<void()> afterUserAction);
    ~WindowView() override;
    WindowView(const WindowView&) = delete;
    WindowView& operator=(const WindowView&) = delete;

    Window* window() const { return window_; }
    // The window has closed: stop following it (its objects go away later).
    void detach();
    // Above all other windows; raised again when another window is in front.
    void keepOnTop();
    // Twips per pixel on this window's screen (1440 per inch of logical resolution).
    double twipsPerPixel() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void add(QBoxLayout& into, const LayoutNode& node);
    void addChildren(QBoxLayout& into, const LayoutNode& node);
    void followWindow();

    Window* window_;
    std::function<void()> afterUserAction_;
    std::vector<std::unique_ptr<ElementView>> elements_;
    QPoint placedAt_;
    bool onTop_ = false;
};

}  // namespace pd::qt
