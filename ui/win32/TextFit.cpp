#include "ui/win32/TextFit.hpp"

// clang-format off
#include <commctrl.h>
// clang-format on
#include <algorithm>
#include <vector>

#include "ui/win32/Screen.hpp"

namespace pd::win32ui {

namespace {
enum class Shape { Other, Static, WrappingStatic, Edit, PushButton, CheckBox, GroupBox };

Shape shapeOf(HWND control) {
    wchar_t cls[32] = {};
    ::GetClassNameW(control, cls, 32);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(control, GWL_STYLE));
    if (::lstrcmpiW(cls, WC_STATICW) == 0) {
        const DWORD type = style & SS_TYPEMASK;
        return type == SS_LEFT || (type == SS_CENTER && !(style & SS_CENTERIMAGE)) ? Shape::WrappingStatic
                                                                                   : Shape::Static;
    }
    if (::lstrcmpiW(cls, WC_EDITW) == 0)
        return (style & ES_MULTILINE) || ::SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0) ? Shape::Other
                                                                                           : Shape::Edit;
    if (::lstrcmpiW(cls, WC_BUTTONW) == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                return Shape::GroupBox;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
                return Shape::CheckBox;
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                return Shape::PushButton;
            default:
                return Shape::Other;
        }
    }
    return Shape::Other;
}

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring withoutMnemonics(const std::wstring& text) {
    std::wstring out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

HFONT fontOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}
}  // namespace

int buttonPadding(int dpi) {
    return scaled(5, dpi);
}

int checkBoxIndent(int dpi) {
    return scaled(13 + 6, dpi);
}

SIZE drawnSize(HFONT font, const std::wstring& text, bool noPrefix, int wrapWidth) {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r{0, 0, wrapWidth > 0 ? wrapWidth : 1 << 15, 1 << 15};
    UINT format = DT_CALCRECT | DT_LEFT | DT_TOP | DT_EXPANDTABS;
    if (noPrefix) format |= DT_NOPREFIX;
    if (wrapWidth > 0) format |= DT_WORDBREAK;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE staticTextSize(HFONT font, const std::wstring& text, bool wraps, int widthChars) {
    const int cw = metricsOf(font).charWidth;
    SIZE s = drawnSize(font, text, true);
    if (wraps && s.cx > cw * static_cast<int>(wrapsBeyond))
        s = drawnSize(font, text, true, cw * static_cast<int>(wrapsBeyond));
    return {std::max<LONG>(s.cx, widthChars > 0 ? cw * widthChars + 8 : 0),
            std::max<LONG>(s.cy, metricsOf(font).lineHeight)};
}

std::wstring wholeText(HWND control) {
    switch (shapeOf(control)) {
        case Shape::Static:
        case Shape::WrappingStatic:
        case Shape::Edit:
            return windowText(control);
        case Shape::PushButton:
        case Shape::CheckBox:
        case Shape::GroupBox:
            return withoutMnemonics(windowText(control));
        case Shape::Other:
            break;
    }
    return {};
}

bool showsWholeText(HWND control) {
    const Shape shape = shapeOf(control);
    const std::wstring text = windowText(control);
    if (shape == Shape::Other || text.empty()) return true;
    RECT client{};
    ::GetClientRect(control, &client);
    const int dpi = dpiOf(control);
    const HFONT font = fontOf(control);
    const bool prefix = shape == Shape::PushButton || shape == Shape::CheckBox || shape == Shape::GroupBox;
    const SIZE needed = drawnSize(font, text, !prefix);
    switch (shape) {
        case Shape::Static:
            return needed.cx <= client.right && needed.cy <= client.bottom;
        case Shape::WrappingStatic: {
            // A word longer than the line is cut: the wrapped text is then wider than the line.
            const SIZE wrapped = drawnSize(font, text, true, client.right);
            return wrapped.cx <= client.right && wrapped.cy <= client.bottom;
        }
        case Shape::Edit: {
            const auto margins = static_cast<DWORD>(::SendMessageW(control, EM_GETMARGINS, 0, 0));
            return needed.cx <= client.right - LOWORD(margins) - HIWORD(margins) - scaled(2, dpi);
        }
        case Shape::PushButton:
            return needed.cx <= client.right - 2 * buttonPadding(dpi);
        case Shape::CheckBox:
            return needed.cx <= client.right - checkBoxIndent(dpi);
        case Shape::GroupBox:
            return needed.cx <= client.right - 2 * metricsOf(font).charWidth;
        case Shape::Other:
            break;
    }
    return true;
}

std::wstring tipWithWholeText(HWND control, const std::wstring& ownTip) {
    if (showsWholeText(control)) return ownTip;
    const std::wstring text = wholeText(control);
    if (ownTip.find(text) != std::wstring::npos) return ownTip;
    return ownTip.empty() ? text : ownTip + L"\n" + text;
}

namespace {
// Adds, updates or (with an empty tip) removes one tool of the tool-tip control.
void putTool(HWND toolTips, TTTOOLINFOW info, const std::wstring& tip) {
    const UINT flags = info.uFlags;
    const RECT rect = info.rect;
    const bool known = ::SendMessageW(toolTips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    info.uFlags = flags;
    info.rect = rect;
    if (tip.empty()) {
        if (known) ::SendMessageW(toolTips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    std::wstring text = tip;
    info.lpszText = text.data();
    ::SendMessageW(toolTips, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    if (known && !(flags & TTF_IDISHWND))
        ::SendMessageW(toolTips, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}
}  // namespace

void setToolTip(HWND toolTips, HWND control, const std::wstring& tip) {
    if (!toolTips) return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = ::GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    putTool(toolTips, info, tip);
    // A disabled control gets no mouse messages: its window gets them, and a tool over the
    // control's place there shows the same tip, as long as the control is shown disabled.
    TTTOOLINFOW area{};
    area.cbSize = sizeof area;
    area.hwnd = info.hwnd;
    area.uId = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
    area.uFlags = TTF_SUBCLASS;
    ::GetWindowRect(control, &area.rect);
    ::MapWindowPoints(nullptr, area.hwnd, reinterpret_cast<POINT*>(&area.rect), 2);
    const auto style = ::GetWindowLongPtrW(control, GWL_STYLE);
    putTool(toolTips, area, (style & WS_DISABLED) && (style & WS_VISIBLE) ? tip : std::wstring());
}

std::wstring toolTipOf(HWND toolTips, HWND control) {
    if (!toolTips) return {};
    std::vector<wchar_t> buffer(8192, L'\0');
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = ::GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = buffer.data();
    ::SendMessageW(toolTips, TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&info));
    return buffer.data();
}

}  // namespace pd::win32ui
