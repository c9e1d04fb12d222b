// PACEDECK.exe: the program on Windows. Its file name chooses the copy: PACEDECK.exe copied
// as BTC.exe is the copy "BTC", with its own registry section and files. Its only options
// are --help, --version and --history.

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
// clang-format on
#include <cstdio>
#include <string>

#include "app/Version.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "platform/win32/WideText.hpp"
#include "platform/win32/Win32System.hpp"
#include "tools/RunHistoryWindow.hpp"
#include "ui/win32/Win32FrontEnd.hpp"

namespace {

// A GUI program has no console of its own: answers go to the one it was started from, or
// to wherever its output was sent.
void useCallersConsole() {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    std::FILE* ignored = nullptr;
    freopen_s(&ignored, "CONOUT$", "w", stdout);
    freopen_s(&ignored, "CONOUT$", "w", stderr);
}

void printHelp(const std::string& exe) {
    std::printf(
        "Usage: %s [--help | --version | --history]\n"
        "Brings one coin's full node up to date unattended: starts the node, follows its block\n"
        "count until the chain has caught up, stops it and writes an end report.\n"
        "\n"
        "  -h, --help   show this help and exit\n"
        "  --version    show the version and exit\n"
        "  --history    show this copy's last runs and exit\n"
        "\n"
        "Everything else is set in the program's windows. Each copy keeps its settings under\n"
        "its file name: copy the program as BTC.exe, LTC.exe, ... for one copy per coin.\n"
        "This copy is \"%s\"; its settings are the registry key\n"
        "HKEY_CURRENT_USER\\Software\\SW_PACEDECK\\%s.\n",
        exe.c_str(), exe.c_str(), exe.c_str());
}

// The copy's last runs, from the settings and files of its home folder, without a window.
int printHistory(const std::string& exe) {
    pd::win32::Win32System system;
    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    std::fputs(pd::runHistoryPrintout(app).c_str(), stdout);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::string exe = pd::win32::ownExeName();
    const auto args = pd::win32::programArguments();
    for (std::size_t i = 1; i < args.size(); ++i) {
        useCallersConsole();
        if (args[i] == "--help" || args[i] == "-h") {
            printHelp(exe);
            return 0;
        }
        if (args[i] == "--version") {
            std::printf("%s\n", pd::version::line("PACEDECK").c_str());
            return 0;
        }
        if (args[i] == "--history") return printHistory(exe);
        std::fprintf(stderr, "%s: unexpected argument '%s': the program takes none\nTry '%s --help'.\n",
                     exe.c_str(), args[i].c_str(), exe.c_str());
        return 2;
    }

    // The folder and file dialogs are COM objects of the shell.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    pd::win32::Win32System system;
    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    app.setOwnFile(pd::win32::ownProgramPath());
    pd::win32ui::Win32FrontEnd frontEnd(app);

    // A setting that cannot be read or saved is told once, in plain words, in the status line;
    // a key that could not be read keeps its stored value (nothing is written over it).
    std::string storeTrouble;
    auto tell = [&](std::string text) {
        if (!storeTrouble.empty()) return;
        storeTrouble = std::move(text);
        if (app.running()) pd::mainWindow(app).status(storeTrouble);
    };
    app.onStoreUnreadable = [&](const std::string&, const std::string& why) {
        tell("!!! SETTINGS COULD NOT BE READ - " + why + " - DEFAULTS SHOWN, THE STORED VALUES KEPT !!!");
    };
    app.onStoreFailure = [&](const std::string&) {
        tell("!!! SETTINGS CANNOT BE SAVED - " + system.store.error() + " !!!");
    };

    app.start<pd::MainWindow>();
    if (!storeTrouble.empty() && app.running()) pd::mainWindow(app).status(storeTrouble);  // while opening
    int rc = 0;
    if (app.running()) rc = frontEnd.run();
    app.collectClosed();
    ::CoUninitialize();
    return rc;
}
