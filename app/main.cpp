// pacedeck: the program. Its name (argv[0], so a symlink named BTC is the copy "BTC")
// chooses the settings section and the files; it has no command-line options.

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

}  // namespace

int main(int argc, char** argv) {
    // First, so that the end of the session is never the default abrupt exit.
    pd::qt::SessionEnd sessionEnd;
    if (!mayHaveDisplay(argc, argv)) exitForNoDisplay();
    qInstallMessageHandler(holdStartupMessage);
    QApplication qt(argc, argv);  // Qt takes its own options (-platform ...); we have none
    releaseStartupMessages();
    QApplication::setQuitOnLastWindowClosed(false);  // the program ends with its main window

    pd::PosixSystem system;
    const std::string exe = pd::exeNameFrom(argc > 0 ? argv[0] : "pacedeck", system.profile.executableSuffix);
    if (!system.store.isOpen())
        return fail("The settings cannot be opened, so nothing could be saved: " + system.store.path() +
                    ": " + system.store.error());

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
