#include "ui/win32/Screen.hpp"

#include <algorithm>

namespace pd::win32ui {

namespace {
// Functions of Windows 10 that an older system lacks: looked up, not linked.
template <class F>
F user32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

int systemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

class ScreenDc {
  public:
    explicit ScreenDc(HFONT font) : dc_(::GetDC(nullptr)), old_(::SelectObject(dc_, font)) {}
    ~ScreenDc() {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};
}  // namespace

int dpiOf(HWND window) {
    using GetDpiForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = user32<GetDpiForWindow>("GetDpiForWindow");
    if (forWindow && window) {
        const UINT dpi = forWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return systemDpi();
}

SIZE outerSize(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32<AdjustForDpi>("AdjustWindowRectExForDpi");
    RECT r{0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

HFONT messageFont(int dpi) {
    using ParametersForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
    static const auto forDpi = user32<ParametersForDpi>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi))) {
        font = metrics.lfMessageFont;
    } else if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
        font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi());
    } else {
        font.lfHeight = -MulDiv(8, dpi, 72);
        ::lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
    }
    const int eightPoints = MulDiv(8, dpi, 72);
    if (font.lfHeight < 0 && -font.lfHeight > eightPoints) font.lfHeight = -eightPoints;
    if (font.lfHeight > 0 && font.lfHeight > eightPoints * 4 / 3) font.lfHeight = -eightPoints;
    return ::CreateFontIndirectW(&font);
}

FontMetrics metricsOf(HFONT font) {
    ScreenDc screen(font);
    TEXTMETRICW tm{};
    ::GetTextMetricsW(screen.dc(), &tm);
    SIZE digit{};
    ::GetTextExtentPoint32W(screen.dc(), L"0", 1, &digit);
    return {std::max<int>(1, digit.cx), std::max<int>(1, tm.tmHeight)};
}

SIZE textExtent(HFONT font, const wchar_t* text, int length) {
    ScreenDc screen(font);
    SIZE s{};
    ::GetTextExtentPoint32W(screen.dc(), text, length, &s);
    return s;
}

}  // namespace pd::win32ui
