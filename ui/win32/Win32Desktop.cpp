#include "ui/win32/Win32Desktop.hpp"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/win32/WideText.hpp"

namespace pd::win32ui {

namespace {
using win32::wide;

constexpr wchar_t trayClass[] = L"PACEDECK_TRAY";
constexpr UINT trayMessage = WM_APP + 30;
enum MenuItem : UINT { showItem = 1, reportsItem, exitItem };

// Longer texts are cut to what the shell keeps, the terminating NUL included.
template <std::size_t N>
void copyCut(wchar_t (&to)[N], const std::wstring& from) {
    const auto n = std::min(from.size(), N - 1);
    std::wmemcpy(to, from.data(), n);
    to[n] = L'\0';
}

// The disc of the picture with its white sign, as the Qt front end draws it, on a
// transparent square.
HICON drawIcon(TrayPicture picture, int size) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = size;
    bi.bmiHeader.biHeight = -size;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP colour = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, colour);

    // GDI leaves alpha alone: the square is filled with a key colour first, and every pixel
    // that is not the key is made opaque afterwards.
    constexpr COLORREF key = RGB(255, 0, 255);
    HBRUSH keyBrush = ::CreateSolidBrush(key);
    const RECT all{0, 0, size, size};
    ::FillRect(dc, &all, keyBrush);
    ::DeleteObject(keyBrush);

    HPEN ring = ::CreatePen(PS_SOLID, std::max(1, size / 16), RGB(255, 255, 255));
    HBRUSH disc = ::CreateSolidBrush(static_cast<COLORREF>(trayDiscColour(picture)));
    HGDIOBJ oldPen = ::SelectObject(dc, ring);
    HGDIOBJ oldBrush = ::SelectObject(dc, disc);
    ::Ellipse(dc, 0, 0, size, size);
    HBRUSH white = ::CreateSolidBrush(RGB(255, 255, 255));
    ::SelectObject(dc, ::GetStockObject(NULL_PEN));
    ::SelectObject(dc, white);
    auto at = [size](double f) { return static_cast<int>(f * size + 0.5); };
    switch (picture) {
        case TrayPicture::Idle:
            ::Rectangle(dc, at(0.33), at(0.28), at(0.45), at(0.72));
            ::Rectangle(dc, at(0.55), at(0.28), at(0.67), at(0.72));
            break;
        case TrayPicture::Running: {
            const POINT play[] = {{at(0.38), at(0.26)}, {at(0.74), at(0.5)}, {at(0.38), at(0.74)}};
            ::Polygon(dc, play, 3);
            break;
        }
        case TrayPicture::Failed: {
            HPEN cross = ::CreatePen(PS_SOLID, std::max(2, at(0.12)), RGB(255, 255, 255));
            ::SelectObject(dc, cross);
            ::MoveToEx(dc, at(0.33), at(0.33), nullptr);
            ::LineTo(dc, at(0.67), at(0.67));
            ::MoveToEx(dc, at(0.67), at(0.33), nullptr);
            ::LineTo(dc, at(0.33), at(0.67));
            ::SelectObject(dc, ::GetStockObject(NULL_PEN));
            ::DeleteObject(cross);
            break;
        }
    }
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(ring);
    ::DeleteObject(disc);
    ::DeleteObject(white);
    ::GdiFlush();
    auto* pixel = static_cast<std::uint32_t*>(bits);
    constexpr std::uint32_t keyPixel = 0x00FF00FF;  // the key as the DIB stores it
    for (int i = 0; i < size * size; ++i)
        pixel[i] = (pixel[i] & 0xFFFFFF) == keyPixel ? 0 : pixel[i] | 0xFF000000u;
    ::SelectObject(dc, old);
    ::DeleteDC(dc);

    std::vector<BYTE> maskBits(static_cast<std::size_t>((size + 15) / 16 * 2 * size), 0);
    HBITMAP mask = ::CreateBitmap(size, size, 1, 1, maskBits.data());
    ICONINFO info{TRUE, 0, 0, mask, colour};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(colour);
    return icon;
}
}  // namespace

Win32Desktop::Win32Desktop(std::function<void()> showMain) : showMain_(std::move(showMain)) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = trayClass;
    ::RegisterClassExW(&wc);
    // A hidden top-level window: the menu needs one that can come to the front.
    hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, trayClass, L"PACEDECK", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    const int size = ::GetSystemMetrics(SM_CXSMICON) > 0 ? ::GetSystemMetrics(SM_CXSMICON) : 16;
    for (auto picture : {TrayPicture::Idle, TrayPicture::Running, TrayPicture::Failed})
        icons_[static_cast<std::size_t>(picture)] = drawIcon(picture, size);
}

Win32Desktop::~Win32Desktop() {
    removeTray();
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
    for (HICON icon : icons_)
        if (icon) ::DestroyIcon(icon);
}

NOTIFYICONDATAW Win32Desktop::iconData(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd_;
    data.uID = iconId;
    data.uFlags = flags;
    return data;
}

bool Win32Desktop::showTray(const TrayState& state) {
    auto data = iconData(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    data.uCallbackMessage = trayMessage;
    data.hIcon = icons_[static_cast<std::size_t>(state.picture)];
    copyCut(data.szTip, wide(state.tip));
    state_ = state;
    // Added the first time, changed afterwards; a shell without a notification area refuses.
    if (added_ && ::Shell_NotifyIconW(NIM_MODIFY, &data)) return true;
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return added_;
}

void Win32Desktop::removeTray() {
    state_.reset();
    if (!added_) return;
    auto data = iconData(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

bool Win32Desktop::notify(const Notice& notice) {
    // The balloon is the icon's: without the icon there is nowhere to show it.
    if (!added_) return false;
    auto data = iconData(NIF_INFO);
    Balloon asked{wide(notice.title), wide(notice.body)};
    copyCut(data.szInfoTitle, asked.title);
    copyCut(data.szInfo, asked.text);
    data.dwInfoFlags = notice.failure ? NIIF_ERROR : NIIF_INFO;
    asked.taken = ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    balloon_ = asked;
    return asked.taken;
}

// ---------------------------------------------------------------- the shell's messages

LRESULT CALLBACK Win32Desktop::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Desktop*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return self->handle(message, wParam, lParam);
}

LRESULT Win32Desktop::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        // A new taskbar knows no icons: ours is added again as it was.
        added_ = false;
        if (auto state = state_) showTray(*state);
        return 0;
    }
    if (message != trayMessage) return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    switch (LOWORD(lParam)) {
        case WM_LBUTTONUP:
            if (showMain_) showMain_();
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            showMenu();
            break;
        case NIN_BALLOONUSERCLICK:
            if (actions.openReport) actions.openReport();
            break;
        default:
            break;
    }
    return 0;
}

void Win32Desktop::showMenu() {
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING, showItem, L"Show");
    ::AppendMenuW(menu, MF_STRING, reportsItem, L"REPORTS / LOGS");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, exitItem, L"EXIT");
    POINT at{};
    ::GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if its window is in front.
    ::SetForegroundWindow(hwnd_);
    const auto chosen = static_cast<UINT>(::TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, hwnd_, nullptr));
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
    switch (chosen) {
        case showItem:
            if (showMain_) showMain_();
            break;
        case reportsItem:
            if (actions.reports) actions.reports();
            break;
        case exitItem:
            if (actions.exit) actions.exit();
            break;
        default:
            break;
    }
}

}  // namespace pd::win32ui
