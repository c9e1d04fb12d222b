#pragma once
// clang-format off
#include <windows.h>
// clang-format on
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/App.hpp"
#include "core/FrontEnd.hpp"
#include "ui/win32/Win32Desktop.hpp"
#include "ui/win32/WindowView.hpp"

namespace pd::win32ui {

// The Win32 front end of an App: renders every window the App opens with standard
// controls, answers the dialogs, and drives the App's scheduler from the message loop
// with one timer armed for the next deadline. Closed windows are destroyed only between
// messages, never under the handler that closed them.
class Win32FrontEnd final : public FrontEnd, public Dialogs {
  public:
    explicit Win32FrontEnd(App& app);
    ~Win32FrontEnd() override;
    Win32FrontEnd(const Win32FrontEnd&) = delete;
    Win32FrontEnd& operator=(const Win32FrontEnd&) = delete;

    // FrontEnd
    void windowOpened(Window& window) override;
    void windowClosed(Window& window) override;
    void keepOnTop(Window& window) override;
    void quit() override;

    // Dialogs
    std::optional<std::string> browseFolder(Window& owner, const std::string& title,
                                            const std::string& startFolder) override;
    std::optional<std::string> openFile(Window& owner, const std::string& title, const std::string& filter,
                                        const std::string& defaultExtension,
                                        const std::string& startFolder) override;
    // Shown from the message loop once the handler that asked has returned: nothing waits for the OK.
    void message(Window& owner, const std::string& title, const std::string& text) override;
    bool ask(Window& owner, const std::string& title, const std::string& question) override;

    // The tray icon and its balloon.
    Win32Desktop& desktop() { return desktop_; }
    // Runs the message loop until the program ends; gives the exit code.
    int run();
    // Handles the messages that are waiting, without waiting for more (tests).
    void processPending();
    // The view of an open window, or nullptr.
    WindowView* viewOf(const Window& window) const;
    // What ending the program does; posts WM_QUIT unless replaced (tests).
    std::function<void()> onQuit;

  private:
    static LRESULT CALLBACK bridgeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void dispatch(MSG& message);
    void armTimer();
    void runTimers();
    void afterEvent();
    void collectClosed();
    void showMessages();
    HWND ownerOf(Window& window) const;
    // The tray menu's Show: the main window in front, as it was before it was minimised.
    void showMain();

    struct PendingMessage {
        HWND owner;
        std::wstring title;
        std::wstring text;
        bool onTop;
    };

    App& app_;
    HWND bridge_ = nullptr;  // a message-only window: the timer and posted work
    std::map<const Window*, std::unique_ptr<WindowView>> views_;
    std::vector<std::unique_ptr<WindowView>> closed_;
    std::deque<PendingMessage> messages_;
    int dialogDepth_ = 0;
    bool collectPosted_ = false;
    Win32Desktop desktop_{[this] { showMain(); }};
};

}  // namespace pd::win32ui
