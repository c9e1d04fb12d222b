#pragma once
// clang-format off
#include <windows.h>
// clang-format on
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/Window.hpp"
#include "ui/win32/Arrange.hpp"
#include "ui/win32/ElementControl.hpp"

namespace pd::win32ui {

// A window on screen, rendered from its declared layout with standard controls. Caption
// and geometry follow the window; the user's moves are reported in twips; the close box
// closes the window as code would (the core runs its unload). A modal window disables its
// owner only: opening one never waits. Escape closes an owned window as its close box
// does; Enter presses the layout's default button. The end of the session closes the main
// window as its close box does.
//
// A window opens where the settings left it. One with no stored place opens beside its
// owner, where it covers the least of it, inside the screen; that place is then the
// window's own, as if the user had moved it there.
class WindowView {
  public:
    WindowView(Window& window, WindowView* owner, std::function<void()> afterUserAction);
    ~WindowView();
    WindowView(const WindowView&) = delete;
    WindowView& operator=(const WindowView&) = delete;

    HWND hwnd() const { return hwnd_; }
    Window* window() const { return window_; }
    HWND toolTips() const { return tips_; }
    // The control of an element, or nullptr.
    HWND controlOf(const Element& element) const;
    // The window has closed: stop following it, give the owner back its input, hide.
    void detach();
    // Above all other windows (the windows it owns go with it).
    void keepOnTop();
    // This window or one of its owners is kept on top.
    bool staysOnTop() const;
    // Twips per pixel at this window's resolution (1440 per inch).
    double twipsPerPixel() const;
    // Keyboard navigation of the window (Tab, Enter, Escape): true when the message was used.
    bool dialogMessage(MSG& message);

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void build(const LayoutNode& node);
    HWND makeStatic(const LayoutNode& node, const wchar_t* cls, DWORD style);
    LeafHints hintsOf(const LayoutNode& node) const;
    Arrange arrangement() const;
    void arrange();
    void arrangeLater();
    void setFonts();
    void followWindow();
    void userMoved();
    POINT placeOnOpening(SIZE outer) const;
    void closeBox();

    Window* window_;
    WindowView* owner_;
    std::function<void()> afterUserAction_;
    HWND hwnd_ = nullptr;
    HWND tips_ = nullptr;
    HFONT font_ = nullptr;
    int dpi_ = 96;
    LayoutNode root_;
    std::map<const LayoutNode*, HWND> placed_;  // the control of every Item, Caption and Group
    std::map<const LayoutNode*, ElementControl*> items_;
    std::vector<std::unique_ptr<ElementControl>> controls_;
    std::vector<HWND> statics_;  // captions and group frames
    int nextId_ = 1000;          // above IDOK and IDCANCEL
    int defaultId_ = 0;
    POINT placedAt_{};
    SIZE appliedSize_{};
    bool opened_ = false;
    bool placing_ = false;
    bool onTop_ = false;
    bool arrangePosted_ = false;
};

}  // namespace pd::win32ui
