// pacedeck: the program. Its name (argv[0], so a symlink named BTC is the copy "BTC")
// chooses the settings section and the files. Its only options are --help and --version;
// Qt's own (-platform ...) pass through to QApplication.

#include <QApplication>
#include <QMessageBox>
#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "app/Version.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixSystem.hpp"
#include "ui/qt/QtFrontEnd.hpp"
#include "ui/qt/SessionEnd.hpp"

namespace {

bool hasScreen() {
    const auto platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// A failure the user must see before the program gives up.
int fail(const std::string& text) {
    std::fprintf(stderr, "pacedeck: %s\n", text.c_str());
    if (hasScreen()) QMessageBox::critical(nullptr, QStringLiteral("PACEDECK"), QString::fromStdString(text));
    return 1;
}

// The options that QApplication takes out of argv itself (QGuiApplication's, QApplication's
// and the X11 platform's), with or without a second dash, as "-name value" or "-name=value".
struct QtOption {
    std::string_view name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"geometry", true},
    {"qwindowicon", true},
    {"icon", true},
    {"qwindowtitle", true},
    {"title", true},
    {"session", true},
    {"display", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
    {"testability", false},
};

enum class Action { Run, Help, Version, Misuse };

// Decides before QApplication exists, so that --help, --version and a wrong option work
// without a display. Misuse leaves its message in `error`.
Action readOptions(int argc, char** argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") return Action::Help;
        if (arg == "--version") return Action::Version;
        if (arg.size() < 2 || arg[0] != '-') {
            error = "unexpected argument '" + std::string(arg) + "': the program takes none";
            return Action::Misuse;
        }
        std::string_view name = arg.substr(arg.starts_with("--") ? 2 : 1);
        const bool inlineValue = name.find('=') != std::string_view::npos;
        name = name.substr(0, name.find('='));
        const auto* qt = std::find_if(std::begin(qtOptions), std::end(qtOptions),
                                      [&](const QtOption& o) { return o.name == name; });
        if (qt == std::end(qtOptions) || (inlineValue && !qt->takesValue)) {
            error = "unknown option '" + std::string(arg) + "'";
            return Action::Misuse;
        }
        if (qt->takesValue && !inlineValue && ++i == argc) {
            error = "option '" + std::string(arg) + "' needs a value";
            return Action::Misuse;
        }
    }
    return Action::Run;
}

void printHelp(const std::string& exe) {
    std::printf(
        "Usage: %s [--help | --version | Qt options]\n"
        "Brings one coin's full node up to date unattended: starts the node, follows its block\n"
        "count until the chain has caught up, stops it and writes an end report.\n"
        "\n"
        "  -h, --help   show this help and exit\n"
        "  --version    show the version and exit\n"
        "\n"
        "Qt's own options (-platform NAME, -style NAME, -display DISPLAY, ...) are accepted.\n"
        "Everything else is set in the program's windows. Each copy keeps its settings under\n"
        "its file name: copy or link the program as BTC, LTC, ... for one copy per coin.\n"
        "This copy is \"%s\"; its settings are its section of\n"
        "${XDG_CONFIG_HOME:-~/.config}/SW_PACEDECK/settings.sqlite3.\n",
        exe.c_str(), exe.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const std::string exe = pd::exeNameFrom(argc > 0 ? argv[0] : "pacedeck");
    std::string misuse;
    switch (readOptions(argc, argv, misuse)) {
        case Action::Help:
            printHelp(exe);
            return 0;
        case Action::Version:
            std::printf("%s\n", pd::version::line("pacedeck").c_str());
            return 0;
        case Action::Misuse:
            std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", exe.c_str(), misuse.c_str(), exe.c_str());
            return 2;
        case Action::Run:
            break;
    }

    // First, so that the end of the session is never the default abrupt exit.
    pd::qt::SessionEnd sessionEnd;
    QApplication qt(argc, argv);                     // takes its own options out of argv
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends with its main window

    pd::PosixSystem system;
    if (!system.store.isOpen())
        return fail("The settings cannot be opened, so nothing could be saved: " + system.store.path() +
                    ": " + system.store.error());

    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    pd::qt::QtFrontEnd frontEnd(app);

    // A setting that cannot be saved is told once, in plain words, in the status line.
    const std::string notSaved = "!!! SETTINGS CANNOT BE SAVED - THE SETTINGS FILE IS NOT WRITABLE !!!";
    bool storeFailureTold = false;
    app.onStoreFailure = [&](const std::string& key) {
        if (storeFailureTold) return;
        storeFailureTold = true;
        std::fprintf(stderr, "pacedeck: could not save %s in %s: %s\n", key.c_str(),
                     system.store.path().c_str(), system.store.error().c_str());
        if (app.running()) pd::mainWindow(app).status(notSaved);
    };

    app.start<pd::MainWindow>();
    if (storeFailureTold && app.running()) pd::mainWindow(app).status(notSaved);  // failed while opening
    // The end of the session closes the main window as its close box does: settings saved.
    sessionEnd.listen([&] {
        if (app.running()) app.main().close();
    });
    if (!app.running()) return 0;
    const int rc = QApplication::exec();
    app.collectClosed();
    return rc;
}
