#pragma once
// clang-format off
#include <windows.h>
// clang-format on
#include <functional>
#include <string>

#include "core/Element.hpp"
#include "core/Layout.hpp"
#include "ui/win32/Arrange.hpp"
#include "ui/win32/Screen.hpp"

namespace pd::win32ui {

// One element on screen as a standard control: made for its kind, kept in step with the
// element through the element's observer, and turning the user's actions on the control
// into the element's user actions (type, click, double-click).
class ElementControl {
  public:
    // afterUserAction runs after every user action has been handed to the element.
    ElementControl(Element& element, const LayoutNode& hints, HWND parent, int id, HFONT font, HWND toolTips,
                   std::string lineEnd, std::function<void()> afterUserAction);
    ~ElementControl();
    ElementControl(const ElementControl&) = delete;
    ElementControl& operator=(const ElementControl&) = delete;

    HWND hwnd() const { return hwnd_; }
    Element* element() const { return element_; }
    // Stops following the element; its window is going away.
    void detach();

    // The size the control wants in the arrangement, in its present font.
    LeafHints leafHints() const;
    // A change of text may change that size: told so that the window arranges again.
    std::function<void()> onNaturalSizeChanged;

    // A notification from the control (WM_COMMAND's code).
    void command(int code);
    // WM_CTLCOLOR*: sets the colours on the device context and gives the background
    // brush, or nullptr where the system's colours apply.
    HBRUSH paint(HDC dc);
    // After a move or a new font: a control too small for its text shows it in its tip.
    void refit();
    void setFont(HFONT font);

  private:
    void create(HWND parent, int id);
    // The window's font, or a fixed-pitch one of its size for a table.
    HFONT fontLike(HFONT windowFont);
    void sync(unsigned what);
    void syncText(unsigned what);
    void syncColours();
    void syncEditable();
    // A disabled text box's text in the colours every front end shows it in.
    void paintDisabledText();
    void typed();
    void userActed();
    static LRESULT CALLBACK subclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    Element* element_;
    LayoutNode hints_;
    HWND hwnd_ = nullptr;
    HWND toolTips_;
    HFONT font_;
    HFONT ownFont_ = nullptr;  // a table's fixed-pitch font, ours to delete
    FontMetrics metrics_;      // of font_
    std::string lineEnd_;
    std::function<void()> afterUserAction_;
    HBRUSH brush_ = nullptr;
    COLORREF fore_ = 0;
    COLORREF back_ = 0;
    bool systemBack_ = true;
    int observer_ = 0;
    bool syncing_ = false;
};

// The screen colour of a colour value; system colours are the system's own.
COLORREF screenColour(Colour c);

}  // namespace pd::win32ui
