// pacedeck: the program. Its name (argv[0], so a symlink named BTC is the copy "BTC")
// chooses the settings section and the files. Its only options are --help, --version and
// --history; Qt's own (-platform ...) pass through to QApplication.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/Version.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixSystem.hpp"
#include "tools/RunHistoryWindow.hpp"
#include "ui/qt/QtFrontEnd.hpp"
#include "ui/qt/SessionEnd.hpp"

namespace {

bool hasScreen() {
    const auto platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

// A failure the user must see before the program gives up. The end of the session closes
// the message too: an unattended start (from cron) must not wait for someone to click OK.
int fail(pd::qt::SessionEnd& sessionEnd, const std::string& text) {
    std::fprintf(stderr, "pacedeck: %s\n", text.c_str());
    if (hasScreen()) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("PACEDECK"), QString::fromStdString(text));
        sessionEnd.listen([&box] { box.reject(); });
        box.exec();
    }
    return 1;
}

// ---- starting without a display
// Qt gives up on a missing or unreachable display with a page of plugin messages and an
// abort. The user is told in one line instead, and the program ends with status 1.

const char* const noDisplay =
    "pacedeck: no display to show the windows on (DISPLAY is %s): start PACEDECK in a graphical session\n";

std::string displayName() {
    const char* display = std::getenv("DISPLAY");
    return display && *display ? "\"" + std::string(display) + "\"" : std::string("not set");
}

[[noreturn]] void exitForNoDisplay() {
    std::fprintf(stderr, noDisplay, displayName().c_str());
    std::_Exit(1);
}

// Whether Qt may find a display: a platform chosen by the user (QT_QPA_PLATFORM or
// -platform) is Qt's to try; otherwise an X or Wayland display must be named.
bool mayHaveDisplay(int argc, char** argv) {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY")) return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            return true;
    return false;
}

// While Qt opens its display, its messages wait here: a failure ends in our one line,
// and after a good start they are printed as Qt would have printed them.
std::vector<QString> heldMessages;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) exitForNoDisplay();
    heldMessages.push_back(qFormatLogMessage(type, context, text));
}

void releaseStartupMessages() {
    qInstallMessageHandler(nullptr);
    for (const auto& m : heldMessages) std::fprintf(stderr, "%s\n", m.toLocal8Bit().constData());
    heldMessages.clear();
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

enum class Action { Run, Help, Version, History, Misuse };

// Decides before QApplication exists, so that --help, --version, --history and a wrong
// option work without a display. Misuse leaves its message in `error`.
Action readOptions(int argc, char** argv, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") return Action::Help;
        if (arg == "--version") return Action::Version;
        if (arg == "--history") return Action::History;
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
        "Usage: %s [--help | --version | --history | Qt options]\n"
        "Brings one coin's full node up to date unattended: starts the node, follows its block\n"
        "count until the chain has caught up, stops it and writes an end report.\n"
        "\n"
        "  -h, --help   show this help and exit\n"
        "  --version    show the version and exit\n"
        "  --history    show this copy's last runs and exit\n"
        "\n"
        "Qt's own options (-platform NAME, -style NAME, -display DISPLAY, ...) are accepted.\n"
        "Everything else is set in the program's windows. Each copy keeps its settings under\n"
        "its file name: copy or link the program as BTC, LTC, ... for one copy per coin.\n"
        "This copy is \"%s\"; its settings are its section of\n"
        "${XDG_CONFIG_HOME:-~/.config}/SW_PACEDECK/settings.sqlite3.\n",
        exe.c_str(), exe.c_str());
}

// The copy's last runs, from the settings and files of its home folder, with no display.
int printHistory(const std::string& exe) {
    pd::PosixSystem system;
    if (!system.store.isOpen()) {
        std::fprintf(stderr, "%s: the settings cannot be opened: %s: %s\n", exe.c_str(),
                     system.store.path().c_str(), system.store.error().c_str());
        return 1;
    }
    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    std::fputs(pd::runHistoryPrintout(app).c_str(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The copy's name; a POSIX program file has no suffix to take off.
    const std::string exe = pd::exeNameFrom(argc > 0 ? argv[0] : "pacedeck", "");
    std::string misuse;
    switch (readOptions(argc, argv, misuse)) {
        case Action::Help:
            printHelp(exe);
            return 0;
        case Action::Version:
            std::printf("%s\n", pd::version::line("pacedeck").c_str());
            return 0;
        case Action::History:
            return printHistory(exe);
        case Action::Misuse:
            std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", exe.c_str(), misuse.c_str(), exe.c_str());
            return 2;
        case Action::Run:
            break;
    }

    // First, so that the end of the session is never the default abrupt exit.
    pd::qt::SessionEnd sessionEnd;
    if (!mayHaveDisplay(argc, argv)) exitForNoDisplay();
    qInstallMessageHandler(holdStartupMessage);
    QApplication qt(argc, argv);  // takes its own options out of argv
    releaseStartupMessages();
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends with its main window

    pd::PosixSystem system;
    if (!system.store.isOpen())
        return fail(sessionEnd, "The settings cannot be opened, so nothing could be saved: " +
                                    system.store.path() + ": " + system.store.error());

    pd::SteadyClock clock;
    pd::Scheduler scheduler(clock);
    pd::App app(exe, system.store, system.platform, system.profile, scheduler);
    app.setOwnFile(pd::startedFile(argc > 0 ? argv[0] : ""));
    pd::qt::QtFrontEnd frontEnd(app);

    // A setting that cannot be read or saved is told once, in plain words, in the status line;
    // a key that could not be read keeps its stored value (nothing is written over it).
    std::string storeTrouble;
    auto tell = [&](std::string text) {
        if (!storeTrouble.empty()) return;
        storeTrouble = std::move(text);
        if (app.running()) pd::mainWindow(app).status(storeTrouble);
    };
    app.onStoreUnreadable = [&](const std::string& key, const std::string& why) {
        std::fprintf(stderr, "pacedeck: could not read %s from %s: %s\n", key.c_str(),
                     system.store.path().c_str(), why.c_str());
        tell("!!! SETTINGS COULD NOT BE READ - " + why + " - DEFAULTS SHOWN, THE STORED VALUES KEPT !!!");
    };
    app.onStoreFailure = [&](const std::string& key) {
        std::fprintf(stderr, "pacedeck: could not save %s in %s: %s\n", key.c_str(),
                     system.store.path().c_str(), system.store.error().c_str());
        tell("!!! SETTINGS CANNOT BE SAVED - " + system.store.error() + " !!!");
    };

    if (!system.store.setAside().empty())
        tell("!!! THE SETTINGS FILE WAS DAMAGED - KEPT AS " + system.store.setAside() +
             " - DEFAULTS SHOWN !!!");
    app.start<pd::MainWindow>();
    if (!storeTrouble.empty() && app.running()) pd::mainWindow(app).status(storeTrouble);  // while opening
    // The end of the session closes the main window as its close box does: settings saved.
    sessionEnd.listen([&] {
        if (app.running()) app.main().close();
    });
    if (!app.running()) return 0;
    const int rc = QApplication::exec();
    app.collectClosed();
    return rc;
}
