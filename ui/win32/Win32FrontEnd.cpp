#include "ui/win32/Win32FrontEnd.hpp"

// clang-format off
#include <shobjidl.h>
// clang-format on
#include <algorithm>
#include <climits>

#include "platform/win32/WideText.hpp"

namespace pd::win32ui {

namespace {
using win32::utf8;
using win32::wide;

constexpr wchar_t bridgeClass[] = L"PACEDECK_BRIDGE";
constexpr UINT_PTR timerId = 1;
constexpr UINT collectMessage = WM_APP + 10;
constexpr UINT showMessagesMessage = WM_APP + 11;

// Releases a COM interface when it goes out of scope.
template <class T>
struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p) p->Release();
    }
    T* operator->() const { return p; }
};

// A dialog opens in the folder given, when there is one.
void startIn(IFileDialog& dialog, const std::string& folder) {
    if (folder.empty()) return;
    ComPtr<IShellItem> item;
    if (SUCCEEDED(::SHCreateItemFromParsingName(wide(folder).c_str(), nullptr, IID_PPV_ARGS(&item.p))))
        dialog.SetFolder(item.p);
}

std::optional<std::string> chosenPath(IFileDialog& dialog) {
    ComPtr<IShellItem> item;
    if (FAILED(dialog.GetResult(&item.p))) return std::nullopt;
    PWSTR path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
    std::string out = utf8(path);
    ::CoTaskMemFree(path);
    return out;
}
}  // namespace

Win32FrontEnd::Win32FrontEnd(App& app) : app_(app) {
    onQuit = [] { ::PostQuitMessage(0); };
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = bridgeProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = bridgeClass;
    ::RegisterClassExW(&wc);
    bridge_ = ::CreateWindowExW(0, bridgeClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(bridge_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    app_.setFrontEnd(this);
    app_.setDialogs(*this);
    app_.setDesktop(&desktop_);
    app_.scheduler().onChange = [this] { armTimer(); };
    armTimer();
}

Win32FrontEnd::~Win32FrontEnd() {
    app_.scheduler().onChange = nullptr;
    if (app_.frontEnd() == this) app_.setFrontEnd(nullptr);
    if (&app_.desktop() == &desktop_) app_.setDesktop(nullptr);
    ::KillTimer(bridge_, timerId);
    for (auto& [window, view] : views_) view->detach();
    views_.clear();
    closed_.clear();
    ::SetWindowLongPtrW(bridge_, GWLP_USERDATA, 0);
    ::DestroyWindow(bridge_);
}

// ---------------------------------------------------------------- message loop

int Win32FrontEnd::run() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

void Win32FrontEnd::processPending() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) break;
        dispatch(message);
    }
}

void Win32FrontEnd::dispatch(MSG& message) {
    // Tab, Enter and Escape are the window's before they are the focused control's.
    HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (auto& [window, view] : views_)
        if (view->hwnd() == root && view->dialogMessage(message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

LRESULT CALLBACK Win32FrontEnd::bridgeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32FrontEnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_TIMER:
            if (wParam == timerId) self->runTimers();
            return 0;
        case collectMessage:
            self->collectPosted_ = false;
            self->collectClosed();
            return 0;
        case showMessagesMessage:
            self->showMessages();
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

// ---------------------------------------------------------------- scheduler bridge

void Win32FrontEnd::armTimer() {
    const auto due = app_.scheduler().nextDue();
    if (!due) {
        ::KillTimer(bridge_, timerId);
        return;
    }
    // The deadline is the timer's own: a late handler shifts nothing (the scheduler keeps
    // each timer's phase), and a timer message that comes early only re-arms.
    const auto wait = std::clamp<std::int64_t>(*due - app_.scheduler().now(), 0, INT_MAX);
    ::SetTimer(bridge_, timerId, static_cast<UINT>(std::max<std::int64_t>(wait, USER_TIMER_MINIMUM)),
               nullptr);
}

void Win32FrontEnd::runTimers() {
    ::KillTimer(bridge_, timerId);
    app_.scheduler().runDue();
    collectClosed();
    armTimer();
}

void Win32FrontEnd::afterEvent() {
    // The handler that closed a window may still be on the stack: destroy it afterwards.
    if (collectPosted_) return;
    collectPosted_ = true;
    ::PostMessageW(bridge_, collectMessage, 0, 0);
}

void Win32FrontEnd::collectClosed() {
    // Inside a dialog a handler of some window waits for the answer; it may be one that
    // closed meanwhile, so nothing is destroyed until the dialog has returned.
    if (dialogDepth_ > 0) return;
    // Owned windows were closed after their owners were told: destroy the newest first.
    while (!closed_.empty()) closed_.pop_back();
    app_.collectClosed();
}

// ---------------------------------------------------------------- windows

WindowView* Win32FrontEnd::viewOf(const Window& window) const {
    auto it = views_.find(&window);
    return it == views_.end() ? nullptr : it->second.get();
}

HWND Win32FrontEnd::ownerOf(Window& window) const {
    auto* view = viewOf(window);
    return view ? view->hwnd() : nullptr;
}

void Win32FrontEnd::windowOpened(Window& window) {
    WindowView* owner = window.owner() ? viewOf(*window.owner()) : nullptr;
    auto view = std::make_unique<WindowView>(window, owner, [this] { afterEvent(); });
    ::ShowWindow(view->hwnd(), SW_SHOW);
    views_[&window] = std::move(view);
}

void Win32FrontEnd::windowClosed(Window& window) {
    // The icon is the copy's while its main window is open.
    if (app_.running() && &window == &app_.main()) desktop_.removeTray();
    auto it = views_.find(&window);
    if (it == views_.end()) return;
    it->second->detach();
    closed_.push_back(std::move(it->second));
    views_.erase(it);
    afterEvent();
}

void Win32FrontEnd::keepOnTop(Window& window) {
    if (auto* view = viewOf(window)) view->keepOnTop();
}

void Win32FrontEnd::quit() {
    if (onQuit) onQuit();
}

// ---------------------------------------------------------------- dialogs

std::optional<std::string> Win32FrontEnd::browseFolder(Window& owner, const std::string& title,
                                                       const std::string& startFolder) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(
            ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.p))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(wide(title).c_str());
    startIn(*dialog.p, startFolder);
    // The answer is the dialog's result, so this one waits; timers keep ticking meanwhile.
    ++dialogDepth_;
    const bool chosen = SUCCEEDED(dialog->Show(ownerOf(owner)));
    --dialogDepth_;
    afterEvent();
    return chosen ? chosenPath(*dialog.p) : std::nullopt;
}

std::optional<std::string> Win32FrontEnd::openFile(Window& owner, const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& defaultExtension,
                                                   const std::string& startFolder) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(
            ::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.p))))
        return std::nullopt;
    // "Description|*.a;*.b|All files (*.*)|*.*": pairs of a description and its patterns.
    std::vector<std::wstring> parts;
    std::wstring all = wide(filter);
    for (std::size_t start = 0;;) {
        const auto bar = all.find(L'|', start);
        parts.push_back(all.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) break;
        start = bar + 1;
    }
    std::vector<COMDLG_FILTERSPEC> types;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        types.push_back({parts[i].c_str(), parts[i + 1].c_str()});
    if (!types.empty()) dialog->SetFileTypes(static_cast<UINT>(types.size()), types.data());
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
    dialog->SetTitle(wide(title).c_str());
    std::string extension = defaultExtension;
    if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
    if (!extension.empty()) dialog->SetDefaultExtension(wide(extension).c_str());
    startIn(*dialog.p, startFolder);
    ++dialogDepth_;
    const bool chosen = SUCCEEDED(dialog->Show(ownerOf(owner)));
    --dialogDepth_;
    afterEvent();
    return chosen ? chosenPath(*dialog.p) : std::nullopt;
}

void Win32FrontEnd::message(Window& owner, const std::string& title, const std::string& text) {
    auto* view = viewOf(owner);
    messages_.push_back({ownerOf(owner), wide(title), wide(text), view && view->staysOnTop()});
    ::PostMessageW(bridge_, showMessagesMessage, 0, 0);
}

bool Win32FrontEnd::ask(Window& owner, const std::string& title, const std::string& question) {
    auto* view = viewOf(owner);
    ++dialogDepth_;
    // The answer decides what the caller does, so this one waits; timers keep ticking meanwhile.
    const int answer = ::MessageBoxW(
        ownerOf(owner), wide(question).c_str(), wide(title).c_str(),
        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | (view && view->staysOnTop() ? MB_TOPMOST : 0));
    --dialogDepth_;
    afterEvent();
    return answer == IDYES;
}

void Win32FrontEnd::showMain() {
    if (!app_.running()) return;
    if (auto* view = viewOf(app_.main())) {
        ::ShowWindow(view->hwnd(), ::IsIconic(view->hwnd()) ? SW_RESTORE : SW_SHOW);
        ::SetForegroundWindow(view->hwnd());
    }
}

void Win32FrontEnd::showMessages() {
    while (!messages_.empty()) {
        PendingMessage m = std::move(messages_.front());
        messages_.pop_front();
        // The window may have closed meanwhile: the message then stands alone.
        HWND owner = m.owner && ::IsWindow(m.owner) && ::IsWindowVisible(m.owner) ? m.owner : nullptr;
        ++dialogDepth_;
        ::MessageBoxW(owner, m.text.c_str(), m.title.c_str(),
                      MB_OK | MB_ICONINFORMATION | (m.onTop ? MB_TOPMOST : 0) | (owner ? 0 : MB_TASKMODAL));
        --dialogDepth_;
        afterEvent();
    }
}

}  // namespace pd::win32ui
