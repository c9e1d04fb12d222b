#include "ui/win32/ElementControl.hpp"

// clang-format off
#include <commctrl.h>
// clang-format on
#include <algorithm>

#include "platform/win32/WideText.hpp"
#include "ui/win32/Screen.hpp"
#include "ui/win32/TextFit.hpp"

namespace pd::win32ui {

namespace {
using win32::utf8;
using win32::wide;

constexpr wchar_t passwordChar = 0x25CF;

// Edit controls break lines at "\r\n" only.
std::wstring withCrLf(const std::string& text) {
    std::wstring out;
    const std::wstring in = wide(text);
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == L'\n' && (i == 0 || in[i - 1] != L'\r')) out += L'\r';
        out += in[i];
    }
    return out;
}

std::wstring textOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setTextIfOther(HWND control, const std::wstring& text) {
    if (textOf(control) != text) ::SetWindowTextW(control, text.c_str());
}
}  // namespace

COLORREF screenColour(Colour c) {
    // System colours keep the index of the system's colour table in their low byte.
    return colour::isSystem(c) ? ::GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

ElementControl::ElementControl(Element& element, const LayoutNode& hints, HWND parent, int id, HFONT font,
                               HWND toolTips, std::string lineEnd, std::function<void()> afterUserAction)
    : element_(&element),
      hints_(hints),
      toolTips_(toolTips),
      font_(font),
      metrics_(metricsOf(font)),
      lineEnd_(std::move(lineEnd)),
      afterUserAction_(std::move(afterUserAction)) {
    hints_.children.clear();
    font_ = fontLike(font);
    metrics_ = metricsOf(font_);
    create(parent, id);
    sync(Element::Everything);
    // Only what changed is applied: a light that turns green needs no new text or tip.
    observer_ = element.observe([this](const Element& e) { sync(e.changed()); });
}

ElementControl::~ElementControl() {
    detach();
    if (brush_) ::DeleteObject(brush_);
    if (ownFont_) ::DeleteObject(ownFont_);
}

void ElementControl::detach() {
    if (!element_) return;
    element_->unobserve(observer_);
    element_ = nullptr;
    if (hwnd_) ::RemoveWindowSubclass(hwnd_, subclassProc, 0);
}

void ElementControl::create(HWND parent, int id) {
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    const wchar_t* cls = WC_STATICW;
    switch (element_->kind()) {
        case ElementKind::TextBox: {
            const auto& box = static_cast<const TextBox&>(*element_);
            cls = WC_EDITW;
            exStyle = WS_EX_CLIENTEDGE;
            style |= WS_TABSTOP;
            if (box.multiLine()) {
                style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;
                if (hints_.keepLines) style |= ES_AUTOHSCROLL | WS_HSCROLL;
            } else {
                style |= ES_AUTOHSCROLL;
                if (box.password()) style |= ES_PASSWORD;
            }
            if (hints_.light) style = (style & ~WS_TABSTOP) | ES_CENTER;
            break;
        }
        case ElementKind::TickBox:
            cls = WC_BUTTONW;
            style |= WS_TABSTOP | BS_CHECKBOX;
            break;
        case ElementKind::Button:
            cls = WC_BUTTONW;
            style |= WS_TABSTOP | (hints_.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ElementKind::Label:
            // SS_NOTIFY: clicks and double-clicks reach the window (and the tool tip).
            style |= SS_NOTIFY | SS_NOPREFIX;
            if (hints_.light)
                style |= SS_CENTER | SS_CENTERIMAGE;
            else
                style |= element_->text().size() > wrapsBeyond ? SS_LEFT : SS_LEFTNOWORDWRAP;
            break;
    }
    hwnd_ = ::CreateWindowExW(exStyle, cls, L"", style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                              nullptr);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    // Edit controls tell no double-click: the control's own messages are watched.
    if (element_->kind() == ElementKind::TextBox)
        ::SetWindowSubclass(hwnd_, subclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK ElementControl::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self) {
    auto* control = reinterpret_cast<ElementControl*>(self);
    // A disabled edit draws its text in the system's grey whatever its colours: drawn here.
    if (message == WM_PAINT && control->element_ && !control->element_->enabled()) {
        control->paintDisabledText();
        return 0;
    }
    if (message == WM_LBUTTONDBLCLK && control->element_) {
        control->element_->doubleClick();
        control->userActed();
        return 0;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

HFONT ElementControl::fontLike(HFONT windowFont) {
    if (!hints_.fixedPitch) return windowFont;
    LOGFONTW lf{};
    ::GetObjectW(windowFont, sizeof lf, &lf);
    // Where Consolas is missing the font mapper takes another face of fixed pitch.
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    ::lstrcpynW(lf.lfFaceName, L"Consolas", LF_FACESIZE);
    ownFont_ = ::CreateFontIndirectW(&lf);
    return ownFont_ ? ownFont_ : windowFont;
}

void ElementControl::setFont(HFONT font) {
    HFONT previous = ownFont_;
    ownFont_ = nullptr;  // still selected in the control until the new one replaces it
    font_ = fontLike(font);
    metrics_ = metricsOf(font_);
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (previous) ::DeleteObject(previous);
}

LeafHints ElementControl::leafHints() const {
    const int cw = metrics_.charWidth;
    const int line = metrics_.lineHeight;
    const int dpi = dpiOf(hwnd_);
    const std::wstring text = textOf(hwnd_);
    LeafHints h;
    h.hidden = element_ && !element_->visible();
    if (hints_.light) {
        // Lamps are small squares in a row of lamps; a letter in one is centred.
        h.natural = {cw * std::max(hints_.widthChars, 1) + scaled(4, dpi), line + scaled(2, dpi)};
        h.fillsAcross = false;
        return h;
    }
    switch (element_ ? element_->kind() : ElementKind::Label) {
        case ElementKind::TextBox:
            if (static_cast<const TextBox*>(element_)->multiLine()) {
                const int bar = ::GetSystemMetrics(SM_CXVSCROLL);
                h.natural = {cw * std::max(hints_.widthChars, 8) + scaled(12, dpi) + bar,
                             line * std::max(hints_.heightLines, 2) + scaled(10, dpi)};
                h.growsWide = h.growsTall = true;
            } else {
                h.natural = {cw * (hints_.widthChars > 0 ? hints_.widthChars : 4) + scaled(8, dpi),
                             line + scaled(6, dpi)};
                h.fillsAcross = h.growsWide = hints_.widthChars == 0;
            }
            break;
        case ElementKind::Button: {
            // As wide as the caption needs.
            const int s = drawnSize(font_, text, false).cx;
            h.natural = {std::max({s + 2 * cw, s + 2 * buttonPadding(dpi) + scaled(2, dpi),
                                   cw * hints_.widthChars + scaled(8, dpi)}),
                         line + scaled(7, dpi)};
            break;
        }
        case ElementKind::TickBox: {
            const int s = drawnSize(font_, text, false).cx;
            h.natural = {checkBoxIndent(dpi) + s + scaled(2, dpi), line + scaled(4, dpi)};
            break;
        }
        case ElementKind::Label: {
            const SIZE s =
                staticTextSize(font_, text, (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT,
                               hints_.widthChars);
            h.natural = {static_cast<int>(s.cx), static_cast<int>(s.cy)};
            break;
        }
    }
    return h;
}

void ElementControl::command(int code) {
    if (!element_) return;
    switch (element_->kind()) {
        case ElementKind::TextBox:
            // Programmatic changes also tell EN_CHANGE; only the user's typing counts.
            if (code == EN_CHANGE && !syncing_) typed();
            break;
        case ElementKind::TickBox:
            if (code == BN_CLICKED) {
                static_cast<TickBox&>(*element_).click();
                sync(Element::Value);  // a refused click must not leave the box toggled
                userActed();
            }
            break;
        case ElementKind::Button:
            if (code == BN_CLICKED) {
                static_cast<Button&>(*element_).click();
                userActed();
            }
            break;
        case ElementKind::Label:
            if (code == STN_DBLCLK) {
                element_->doubleClick();
                userActed();
            }
            break;
    }
}

void ElementControl::typed() {
    std::string text = utf8(textOf(hwnd_));
    auto& box = static_cast<TextBox&>(*element_);
    if (box.multiLine() && lineEnd_ != "\r\n") {
        std::string ends;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
            ends += text[i] == '\n' ? lineEnd_ : std::string(1, text[i]);
        }
        text = std::move(ends);
    }
    if (!box.type(text)) sync(Element::Text);
    userActed();
}

void ElementControl::userActed() {
    if (afterUserAction_) afterUserAction_();
}

void ElementControl::sync(unsigned what) {
    if (!element_ || !hwnd_) return;
    syncing_ = true;
    const Size before = (what & Element::Text) ? leafHints().natural : Size{};
    if (what & (Element::Text | Element::Locked | Element::Password | Element::Value)) syncText(what);
    if (what & Element::Enabled) {
        // A disabled static control draws its text in the system's grey whatever its colours,
        // so a disabled label stays enabled with its text shown by the common rule: it takes no
        // input but its double-click, which the element refuses itself.
        if (element_->kind() == ElementKind::Label)
            ::InvalidateRect(hwnd_, nullptr, TRUE);
        else
            ::EnableWindow(hwnd_, element_->enabled() ? TRUE : FALSE);
        if (element_->kind() == ElementKind::TextBox) syncEditable();
    }
    if (what & Element::Colours) syncColours();
    // A hidden element stays hidden; a visible one shows with its window.
    if (what & Element::Visible) ::ShowWindow(hwnd_, element_->visible() ? SW_SHOWNA : SW_HIDE);
    // A control too small for its text shows it whole in its tip: new text may need a new tip.
    // A disabled control's tip is shown from its window: enabling and showing move it.
    if (what & (Element::ToolTip | Element::Text | Element::Enabled | Element::Visible)) refit();
    syncing_ = false;
    if (what == Element::Everything || !onNaturalSizeChanged) return;
    // Hidden, an element takes no room; a caption may need more or less of it.
    if (what & Element::Visible) onNaturalSizeChanged();
    if ((what & Element::Text) && element_->kind() != ElementKind::TextBox) {
        const Size after = leafHints().natural;
        if (after.cx != before.cx || after.cy != before.cy) onNaturalSizeChanged();
    }
}

void ElementControl::refit() {
    if (!element_ || !hwnd_) return;
    // A lamp's colour is its message; a control too small for its text shows it in its tip.
    const std::wstring own = wide(element_->toolTip());
    setToolTip(toolTips_, hwnd_, hints_.light ? own : tipWithWholeText(hwnd_, own));
}

void ElementControl::syncText(unsigned what) {
    const bool text = what & Element::Text;
    switch (element_->kind()) {
        case ElementKind::TextBox: {
            auto& box = static_cast<TextBox&>(*element_);
            if (text) {
                const bool wasEmpty = textOf(hwnd_).empty();
                setTextIfOther(hwnd_, box.multiLine() ? withCrLf(box.text()) : wide(box.text()));
                // Show the start of a long value, unless the user is typing in it.
                if (!box.multiLine() && (wasEmpty || ::GetFocus() != hwnd_))
                    ::SendMessageW(hwnd_, EM_SETSEL, 0, 0);
            }
            if (what & Element::Locked) syncEditable();
            if ((what & Element::Password) && !box.multiLine()) {
                ::SendMessageW(hwnd_, EM_SETPASSWORDCHAR, box.password() ? passwordChar : 0, 0);
                ::InvalidateRect(hwnd_, nullptr, TRUE);
            }
            break;
        }
        case ElementKind::TickBox:
            if (text) setTextIfOther(hwnd_, wide(element_->text()));
            if (what & Element::Value)
                ::SendMessageW(hwnd_, BM_SETCHECK,
                               static_cast<TickBox&>(*element_).ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case ElementKind::Button:
        case ElementKind::Label:
            if (text) setTextIfOther(hwnd_, wide(element_->text()));
            break;
    }
}

void ElementControl::syncEditable() {
    const bool enabled = element_->enabled();
    ::SendMessageW(hwnd_, EM_SETREADONLY, static_cast<TextBox&>(*element_).locked() ? TRUE : FALSE, 0);
    auto style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style = enabled && !hints_.light ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ElementControl::syncColours() {
    const ElementKind kind = element_->kind();
    fore_ = screenColour(element_->fore());
    // Labels and check boxes on the window's own background blend into the window.
    const bool onWindow = (kind == ElementKind::Label || kind == ElementKind::TickBox) &&
                          element_->back() == colour::windowBackground && !hints_.light;
    back_ = onWindow ? ::GetSysColor(COLOR_BTNFACE) : screenColour(element_->back());
    systemBack_ = onWindow || (kind == ElementKind::Button && colour::isSystem(element_->back()));
    if (brush_) ::DeleteObject(brush_);
    brush_ = ::CreateSolidBrush(back_);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH ElementControl::paint(HDC dc) {
    if (!element_) return nullptr;
    ::SetTextColor(dc, colour::shownText(fore_, back_, element_->enabled()));
    ::SetBkColor(dc, back_);
    if (systemBack_ && element_->kind() == ElementKind::Button) return nullptr;
    return systemBack_ ? ::GetSysColorBrush(COLOR_BTNFACE) : brush_;
}

void ElementControl::paintDisabledText() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd_, &ps);
    RECT client;
    ::GetClientRect(hwnd_, &client);
    ::FillRect(dc, &client, brush_);
    auto& box = static_cast<TextBox&>(*element_);
    const std::wstring text = box.password() && !box.multiLine()
                                  ? std::wstring(wide(box.text()).size(), passwordChar)
                                  : (box.multiLine() ? withCrLf(box.text()) : wide(box.text()));
    // Where the edit itself puts its text, from its start.
    RECT area = client;
    ::SendMessageW(hwnd_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    HGDIOBJ old = ::SelectObject(dc, font_);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour::shownText(fore_, back_, false));
    const auto style = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    UINT format = DT_NOPREFIX | DT_EDITCONTROL | (box.multiLine() ? DT_WORDBREAK : DT_SINGLELINE);
    if (style & ES_CENTER) format |= DT_CENTER;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    ::SelectObject(dc, old);
    ::EndPaint(hwnd_, &ps);
}

}  // namespace pd::win32ui
