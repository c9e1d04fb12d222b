#include "ui/win32/WindowView.hpp"

// clang-format off
#include <commctrl.h>
// clang-format on
#include <cmath>

#include "core/App.hpp"
#include "core/Placement.hpp"
#include "platform/win32/WideText.hpp"
#include "ui/win32/Screen.hpp"
#include "ui/win32/TextFit.hpp"

namespace pd::win32ui {

namespace {
using Kind = LayoutNode::Kind;
constexpr wchar_t windowClass[] = L"PACEDECK_WINDOW";
constexpr UINT arrangeMessage = WM_APP + 1;
// Room between the window's edges and its parts, at 96 dots per inch.
constexpr int sideMargin = 6;
constexpr int edgeMargin = 3;

int round(double v) {
    return static_cast<int>(std::lround(v));
}

void registerClass() {
    static bool done = false;
    if (done) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = windowClass;
    ::RegisterClassExW(&wc);
    done = true;
}

ScreenRect rectOf(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

ScreenRect workAreaNear(HWND window, const RECT* rect) {
    HMONITOR monitor = rect ? ::MonitorFromRect(rect, MONITOR_DEFAULTTONEAREST)
                            : ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ::GetMonitorInfoW(monitor, &info);
    return rectOf(info.rcWork);
}
}  // namespace

WindowView::WindowView(Window& window, WindowView* owner, std::function<void()> afterUserAction)
    : window_(&window), owner_(owner), afterUserAction_(std::move(afterUserAction)), root_(window.layout()) {
    registerClass();
    const DWORD style = owner ? WS_CAPTION | WS_SYSMENU | WS_THICKFRAME : WS_OVERLAPPEDWINDOW;
    // A window kept on top would cover the windows it owns: they share its band.
    const DWORD exStyle = WS_EX_CONTROLPARENT | (owner && owner->staysOnTop() ? WS_EX_TOPMOST : 0);
    hwnd_ = ::CreateWindowExW(exStyle, windowClass, win32::wide(window.caption()).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, owner ? owner->hwnd() : nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowView::proc));
    dpi_ = dpiOf(hwnd_);
    font_ = messageFont(dpi_);
    tips_ =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0,
                          0, 0, 0, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, scaled(480, dpi_));
    build(root_);
    // A modal window takes its owner's input until it closes; nothing waits for it.
    if (owner_ && window.modal()) ::EnableWindow(owner_->hwnd(), FALSE);
    window.onWindowChanged = [this] { followWindow(); };
    followWindow();
    arrange();
}

WindowView::~WindowView() {
    detach();
    controls_.clear();
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
    ::DeleteObject(font_);
}

void WindowView::detach() {
    if (!window_) return;
    for (auto& c : controls_) c->detach();
    window_->onWindowChanged = nullptr;
    // The owner first, so that the system activates it when this one goes.
    if (owner_ && window_->modal()) ::EnableWindow(owner_->hwnd(), TRUE);
    window_ = nullptr;
    ::ShowWindow(hwnd_, SW_HIDE);
}

HWND WindowView::controlOf(const Element& element) const {
    for (const auto& c : controls_)
        if (c->element() == &element) return c->hwnd();
    return nullptr;
}

double WindowView::twipsPerPixel() const {
    return 1440.0 / dpi_;
}

bool WindowView::dialogMessage(MSG& message) {
    return ::IsDialogMessageW(hwnd_, &message) != FALSE;
}

bool WindowView::staysOnTop() const {
    return onTop_ || (owner_ && owner_->staysOnTop());
}

void WindowView::keepOnTop() {
    onTop_ = true;
    // The system keeps the windows it owns above it, in the same band.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------- controls

void WindowView::build(const LayoutNode& node) {
    switch (node.kind) {
        case Kind::Item: {
            const int id = nextId_++;
            auto control =
                std::make_unique<ElementControl>(*node.element, node, hwnd_, id, font_, tips_,
                                                 window_->app().profile().lineEnd, afterUserAction_);
            control->onNaturalSizeChanged = [this] { arrangeLater(); };
            if (node.defaultButton) defaultId_ = id;
            placed_[&node] = control->hwnd();
            items_[&node] = control.get();
            controls_.push_back(std::move(control));
            return;
        }
        case Kind::Caption: {
            const DWORD wraps = node.caption.size() > wrapsBeyond ? SS_LEFT : SS_LEFTNOWORDWRAP;
            placed_[&node] = makeStatic(node, WC_STATICW, SS_NOPREFIX | SS_NOTIFY | wraps);
            return;
        }
        case Kind::Group:
            // Before its parts: the frame is behind them and first in the tab order.
            placed_[&node] = makeStatic(node, WC_BUTTONW, BS_GROUPBOX);
            break;
        default:
            break;
    }
    for (const auto& child : node.children) build(child);
}

HWND WindowView::makeStatic(const LayoutNode& node, const wchar_t* cls, DWORD style) {
    HWND h = ::CreateWindowExW(0, cls, win32::wide(node.caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0,
                               0, 0, hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    statics_.push_back(h);
    return h;
}

void WindowView::setFonts() {
    for (auto& c : controls_) c->setFont(font_);
    for (HWND h : statics_) ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

// ---------------------------------------------------------------- arrangement

LeafHints WindowView::hintsOf(const LayoutNode& node) const {
    if (auto it = items_.find(&node); it != items_.end()) return it->second->leafHints();
    LeafHints h;
    const SIZE s =
        staticTextSize(font_, win32::wide(node.caption), node.caption.size() > wrapsBeyond, node.widthChars);
    h.natural = {static_cast<int>(s.cx), static_cast<int>(s.cy)};
    return h;
}

Arrange WindowView::arrangement() const {
    const int line = metricsOf(font_).lineHeight;
    Spacing spacing;
    spacing.inRow = scaled(4, dpi_);
    spacing.inColumn = scaled(2, dpi_);
    spacing.groupSide = scaled(6, dpi_);
    spacing.groupTop = line + scaled(2, dpi_);
    spacing.groupBottom = scaled(4, dpi_);
    return Arrange(root_, spacing, [this](const LayoutNode& node) { return hintsOf(node); });
}

void WindowView::arrange() {
    arrangePosted_ = false;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const int side = scaled(sideMargin, dpi_);
    const int edge = scaled(edgeMargin, dpi_);
    const Box area{side, edge, client.right - 2 * side, client.bottom - 2 * edge};
    arrangement().place(area, [&](const LayoutNode& node, Box b) {
        auto it = placed_.find(&node);
        if (it == placed_.end()) return;
        RECT now{};
        ::GetWindowRect(it->second, &now);
        ::MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&now), 2);
        if (now.left != b.left || now.top != b.top || now.right - now.left != b.width ||
            now.bottom - now.top != b.height)
            ::SetWindowPos(it->second, nullptr, b.left, b.top, b.width, b.height,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    });
    // What no longer fits shows its whole text in its tip.
    for (auto& c : controls_) c->refit();
    for (HWND h : statics_) setToolTip(tips_, h, tipWithWholeText(h, L""));
}

void WindowView::arrangeLater() {
    if (arrangePosted_) return;
    arrangePosted_ = true;
    ::PostMessageW(hwnd_, arrangeMessage, 0, 0);
}

// ---------------------------------------------------------------- geometry

void WindowView::followWindow() {
    if (!window_) return;
    ::SetWindowTextW(hwnd_, win32::wide(window_->caption()).c_str());
    const auto& g = window_->geometry();
    const double tpp = twipsPerPixel();
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    RECT frame{};
    ::GetWindowRect(hwnd_, &frame);
    SIZE outer{frame.right - frame.left, frame.bottom - frame.top};
    // The stored size is the client area's, as the windows were designed.
    const SIZE client{round(g.width / tpp), round(g.height / tpp)};
    const bool resize =
        g.width > 0 && g.height > 0 && (client.cx != appliedSize_.cx || client.cy != appliedSize_.cy);
    if (resize) {
        appliedSize_ = client;
        outer = outerSize(client, style, exStyle, dpi_);
    }
    if (!opened_) {
        // Once, when the window opens; later changes of the caption leave it where it is.
        opened_ = true;
        placedAt_ = placeOnOpening(outer);
        placing_ = true;
        ::SetWindowPos(hwnd_, nullptr, placedAt_.x, placedAt_.y, outer.cx, outer.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        placing_ = false;
        // The place chosen here is the window's own from now on, as a move by the user.
        if (!g.placeStored && owner_) window_->moveTo(placedAt_.x * tpp, placedAt_.y * tpp);
        return;
    }
    const POINT at{round(g.left / tpp), round(g.top / tpp)};
    if (at.x != placedAt_.x || at.y != placedAt_.y || resize) {
        placedAt_ = at;
        placing_ = true;
        ::SetWindowPos(hwnd_, nullptr, at.x, at.y, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);
        placing_ = false;
    }
}

POINT WindowView::placeOnOpening(SIZE outer) const {
    const auto& g = window_->geometry();
    const double tpp = twipsPerPixel();
    if (!g.placeStored && owner_) {
        RECT ownerFrame{};
        ::GetWindowRect(owner_->hwnd(), &ownerFrame);
        const ScreenRect r = besideOwner(rectOf(ownerFrame), outer.cx, outer.cy,
                                         workAreaNear(owner_->hwnd(), nullptr), scaled(8, dpi_));
        return {r.left, r.top};
    }
    const RECT wanted{round(g.left / tpp), round(g.top / tpp), round(g.left / tpp) + outer.cx,
                      round(g.top / tpp) + outer.cy};
    const ScreenRect area = workAreaNear(hwnd_, &wanted);
    const ScreenRect r = rectOf(wanted);
    if (r.left >= area.left && r.top >= area.top && r.right() <= area.right() && r.bottom() <= area.bottom())
        return {r.left, r.top};
    const ScreenRect inside = movedInside(r, area);
    return {inside.left, inside.top};
}

void WindowView::userMoved() {
    // Only the user's moves count: placing the window where the settings say must not
    // turn the stored twips into rounded pixels.
    if (!window_ || placing_ || !::IsWindowVisible(hwnd_) || ::IsIconic(hwnd_)) return;
    RECT frame{};
    ::GetWindowRect(hwnd_, &frame);
    if (frame.left == placedAt_.x && frame.top == placedAt_.y) return;
    placedAt_ = {frame.left, frame.top};
    const double tpp = twipsPerPixel();
    window_->moveTo(placedAt_.x * tpp, placedAt_.y * tpp);
}

void WindowView::closeBox() {
    if (!window_) return;
    // The core decides: closing runs unload, and the front end then hides this view.
    window_->close();
    if (afterUserAction_) afterUserAction_();
}

// ---------------------------------------------------------------- messages

LRESULT CALLBACK WindowView::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<WindowView*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return view ? view->handle(message, wParam, lParam) : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT WindowView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            for (auto& c : controls_)
                if (reinterpret_cast<HWND>(lParam) == c->hwnd() && lParam) {
                    c->command(HIWORD(wParam));
                    return 0;
                }
            // Escape: an owned window closes as by its close box; the main window is the
            // program, and Escape never ends a run.
            if (id == IDCANCEL && window_ && window_->owner()) closeBox();
            return 0;
        }
        case DM_GETDEFID:
            return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: {
            auto dc = reinterpret_cast<HDC>(wParam);
            for (auto& c : controls_)
                if (c->hwnd() == reinterpret_cast<HWND>(lParam))
                    if (HBRUSH brush = c->paint(dc)) return reinterpret_cast<LRESULT>(brush);
            if (message == WM_CTLCOLOREDIT) break;
            // Captions and frames lie on the window's face.
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_CLOSE:
            closeBox();
            return 0;
        case WM_SIZE:
            arrange();
            break;
        case WM_MOVE:
            userMoved();
            break;
        case WM_GETMINMAXINFO: {
            if (!font_) break;
            const Size natural = arrangement().natural();
            const SIZE outer = outerSize(
                {natural.cx + 2 * scaled(sideMargin, dpi_), natural.cy + 2 * scaled(edgeMargin, dpi_)},
                static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                static_cast<DWORD>(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), dpi_);
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {outer.cx, outer.cy};
            return 0;
        }
        case 0x02E0: {  // WM_DPICHANGED: the window moved to a screen of another resolution
            dpi_ = HIWORD(wParam);
            HFONT old = font_;
            font_ = messageFont(dpi_);
            setFonts();
            ::DeleteObject(old);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            placing_ = true;
            ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                           suggested->right - suggested->left, suggested->bottom - suggested->top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
            placing_ = false;
            arrange();
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The end of the session closes the main window as its close box does: the
            // settings it keeps are saved before the system ends the program.
            if (wParam && window_ && !window_->owner() && window_->app().running())
                window_->app().main().close();
            return 0;
        case arrangeMessage:
            arrange();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace pd::win32ui
