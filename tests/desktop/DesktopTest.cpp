// The tray icon and the notifications on a real desktop: an X server of the test's own (Xvfb),
// Debian's trayer as the tray and dunst as the notification service on a private session bus
// (the test runs under dbus-run-session), and whole runs of the simulated node driven by the
// Qt front end. The screenshots are kept in the build folder's tests/desktop/screens.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QtTest/QTest>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

#include "PointerClick.hpp"
#include "SimHarness.hpp"
#include "app/setup/SetupDriver.hpp"
#include "app/setup/SetupScript.hpp"
#include "common/WeeksOfRuns.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "main/MainWindow.hpp"
#include "main/RunHistory.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "platform/posix/SqliteStore.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "tools/RunHistoryWindow.hpp"
#include "ui/qt/QtFrontEnd.hpp"

namespace pd::test {

namespace fs = std::filesystem;
using simtest::Process;
using simtest::ScratchDir;
using namespace std::chrono_literals;

namespace {

// A word for bash, whatever it holds (the scratch folder's name has a space).
std::string word(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Output of a command line run by bash (the demo's shared scripts are bash's).
std::string shell(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen(("bash -c " + word(command)).c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// The desktop every test shares: an X server on a free display (as the Windows tests start
// theirs), the tray, the notification service; each ended by its process id.
struct Session {
    ScratchDir dir;
    pid_t xvfb = 0;
    std::unique_ptr<Process> trayer, dunst;

    bool start() {
        std::istringstream started(shell(". " +
                                         word(std::string(PACEDECK_SOURCE_DIR) + "/scripts/lib/xvfb.sh") +
                                         " && start_xvfb && echo \"$display $xvfb_pid\""));
        std::string display;
        if (!(started >> display >> xvfb)) return false;
        ::setenv("DISPLAY", display.c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
        ::chmod(dir.path().c_str(), 0700);
        // dunst writes each notice down as it shows it, keeps it on screen, and runs its
        // default action on a left click.
        simtest::writeFile(dir / "record.sh", "#!/bin/sh\nprintf '%s\\n%s\\036' \"$2\" \"$3\" >> " +
                                                  word(dir / "notices") + "\n");
        ::chmod((dir / "record.sh").c_str(), 0755);
        simtest::writeFile(dir / "dunstrc",
                           "[global]\nfont = DejaVu Sans 11\nwidth = 460\noffset = 16x16\n"
                           "mouse_left_click = do_action, close_current\n"
                           "[urgency_normal]\ntimeout = 0\n"
                           "[urgency_critical]\ntimeout = 0\nbackground = \"#7a1d16\"\n"
                           "[record]\nsummary = \"*\"\nscript = \"" +
                               dir / "record.sh" + "\"\n");
        trayer =
            std::make_unique<Process>("/usr/bin/trayer",
                                      std::vector<std::string>{"--edge", "bottom", "--align", "right",
                                                               "--widthtype", "request", "--height", "32"},
                                      simtest::Env{}, dir / "trayer.out", dir / "trayer.err");
        dunst =
            std::make_unique<Process>("/usr/bin/dunst", std::vector<std::string>{"-config", dir / "dunstrc"},
                                      simtest::Env{}, dir / "dunst.out", dir / "dunst.err");
        return true;
    }
    ~Session() {
        trayer.reset();
        dunst.reset();
        if (xvfb > 0) ::kill(xvfb, SIGTERM);
    }
    // The notices shown so far: the summary, a line break, the body.
    std::vector<std::string> notices() const {
        std::vector<std::string> out;
        std::istringstream text(simtest::readFile(dir / "notices"));
        for (std::string notice; std::getline(text, notice, '\036');) out.push_back(notice);
        return out;
    }
    // The corner of the screen at `area`, kept under `name`.
    void save(const QRect& area, const std::string& name) const {
        save(QGuiApplication::primaryScreen()->grabWindow(0).copy(area), name);
    }
    void save(const QPixmap& shot, const std::string& name) const {
        fs::create_directories(PACEDECK_DESKTOP_SCREENS);
        EXPECT_TRUE(shot.save(QString::fromStdString(std::string(PACEDECK_DESKTOP_SCREENS) + "/" + name)));
    }
};

// Where the tray and the notices show on the 1600 by 1000 screen.
const QRect trayCorner(1000, 700, 600, 300);
const QRect noticeCorner(1000, 0, 600, 200);

Session* desktop = nullptr;

// Runs the Qt event loop until the condition holds or the limit passes.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        QTest::qWait(20);
    }
    return done();
}

// The X window that holds an X window, by `xwininfo -tree`'s indentation.
bool insideTray(WId window) {
    std::istringstream tree(shell("xwininfo -root -tree"));
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx ", static_cast<unsigned long>(window));
    int trayIndent = -1;
    for (std::string line; std::getline(tree, line);) {
        const int indent = int(line.find_first_not_of(' '));
        if (trayIndent >= 0 && indent <= trayIndent) trayIndent = -1;
        if (line.find("(\"panel\" \"trayer\")") != std::string::npos) trayIndent = indent;
        if (trayIndent >= 0 && indent > trayIndent && line.find(id) != std::string::npos) return true;
    }
    return false;
}

// Where dunst shows its notice, from `xwininfo -tree`.
std::optional<QRect> noticeOnScreen() {
    const std::regex dunst(R"re("Dunst": \("Dunst" "Dunst"\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+))re");
    std::smatch m;
    const auto tree = shell("xwininfo -root -tree");
    if (!std::regex_search(tree, m, dunst)) return std::nullopt;
    return QRect(std::stoi(m[3]), std::stoi(m[4]), std::stoi(m[1]), std::stoi(m[2]));
}

// One copy of the program with the Qt front end on this desktop, its node the simulated one
// under names of the test's own, set up by the set-up file the demo uses.
struct DesktopCopy {
    DesktopCopy(std::string name, const std::string& simExtra, const std::string& setupExtra)
        : exe(std::move(name)),
          home(dir / "PACEDECK"),
          store(dir / "settings.sqlite3"),
          profile(posixProfile(dir.path())) {
        const auto node = dir / "node";
        const auto programs = dir / "programs";
        fs::create_directories(node);
        fs::create_directories(programs);
        const std::string base = "dk" + std::to_string(::getpid()) + exe.substr(1, 2);
        for (const auto& p : {base + "d", base + "-qt", base + "-cli"})
            fs::create_symlink(std::string(SIMCOIN_BIN_DIR) + "/simcoin", programs + "/" + p);
        const auto setupFile = dir / "setup.txt";
        shell(". " + word(std::string(PACEDECK_SOURCE_DIR) + "/scripts/lib/simcopy.sh") +
              " && write_sim_settings " + word(node) + " 1000 +40 && write_copy_setup " + word(setupFile) +
              " " + word(home) + " " + word(node) + " " + word(programs) + " " + base + "-qt " + base + "d " +
              base + "-cli " + std::to_string(simtest::freePort()) + " " + word(setupExtra));
        simtest::writeFile(node + "/simcoin.conf", simtest::readFile(node + "/simcoin.conf") + simExtra);
        const auto script = setup::parseSetupScript(simtest::readFile(setupFile));
        EXPECT_FALSE(script.error) << simtest::readFile(setupFile);
        SteadyClock setupClock;
        const auto error = setup::applySetup(exe, store, platform, profile, setupClock, script.lines);
        EXPECT_FALSE(error) << error->line << ": " << error->message;
        ready = !script.error && !error;
        // The reading an earlier run left behind: the node's new data folder starts there.
        simtest::writeFile(HomeLayout(profile, home, exe).latestBlockcount(), "1000\n");
        // Started by the test rather than by the autostart countdown; the editor writes down
        // what it was asked to open.
        // As if an earlier run had ended cleanly with its node stopped at 1000.
        store.write(exe, "NODE_STOPPED_AT_BLOCK", "1000\n");
        store.write(exe, "AUTOSTART_TICKBOX", "0");
        // Without a window manager a window kept on top would cover the notices it causes.
        store.write(exe, "ALWAYS_ON_TOP_TICKBOX", "0");
        simtest::writeFile(dir / "editor.sh", "#!/bin/sh\necho \"$1\" >> " + word(dir / "opened") + "\n");
        ::chmod((dir / "editor.sh").c_str(), 0755);
        profile.editorCommand = word(dir / "editor.sh") + " ";
    }
    MainWindow& start() {
        app.emplace(exe, store, platform, profile, scheduler);
        frontEnd.emplace(*app);
        frontEnd->onQuit = [] {};
        return app->start<MainWindow>();
    }
    QSystemTrayIcon* icon() { return frontEnd->desktop().trayIcon(); }
    std::vector<RunRecord> history() const {
        return parseRunHistory(simtest::readFile(HomeLayout(profile, home, exe).runHistory()));
    }

    ScratchDir dir;
    std::string exe;
    std::string home;
    SqliteStore store;
    PosixPlatform platform;
    Profile profile;
    SteadyClock clock;
    Scheduler scheduler{clock};
    std::optional<App> app;
    std::optional<qt::QtFrontEnd> frontEnd;
    bool ready = false;
};

QWidget* trayIconWindow() {
    for (auto* w : QApplication::allWidgets())
        if (std::string_view(w->metaObject()->className()) == "QSystemTrayIconSys" && w->isVisible())
            return w;
    return nullptr;
}

}  // namespace

TEST(Desktop, AHealthyRunShowsItsProgressInTheTrayAndEndsWithANotification) {
    DesktopCopy copy("DTRAY", "", "");
    ASSERT_TRUE(copy.ready);
    auto& w = copy.start();
    ASSERT_TRUE(pumpUntil([&] { return trayIconWindow() && insideTray(trayIconWindow()->winId()); }, 20s))
        << "the icon is not in trayer's panel";
    EXPECT_EQ(copy.icon()->toolTip(), "DTRAY - READY...");
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());

    // The tip follows the run; the pointer on the icon shows it.
    std::set<std::string> tips;
    bool hovered = false;
    const bool ended = pumpUntil(
        [&] {
            if (!copy.app->running()) return true;
            const auto tip = copy.icon()->toolTip().toStdString();
            tips.insert(tip);
            if (!hovered && tip.starts_with("DTRAY - HEIGHT ")) {
                QCursor::setPos(copy.icon()->geometry().center());
                hovered = pumpUntil([] { return QToolTip::isVisible(); }, 5s);
                EXPECT_EQ(QToolTip::text(), copy.icon()->toolTip());
                desktop->save(trayCorner, "tray-tooltip-running.png");
                QCursor::setPos(10, 10);
            }
            return false;
        },
        150s);
    ASSERT_TRUE(ended) << w.CURRENT_STATUS_LABEL.text();
    EXPECT_TRUE(hovered);
    EXPECT_TRUE(tips.contains("DTRAY - RUNNING DAEMON..."));
    EXPECT_TRUE(tips.contains("DTRAY - !!! AUTOCLOSE STARTING !!!"));
    EXPECT_TRUE(std::any_of(tips.begin(), tips.end(), [](auto& t) {
        return std::regex_match(
            t, std::regex(R"(DTRAY - HEIGHT 10\d\d OF 1040 - \d+\.\d\d % - 8 PEERS - ETA .*)"));
    })) << testing::PrintToString(tips);
    EXPECT_EQ(copy.icon(), nullptr);  // gone with the window

    // The end of the run on the desktop, and in the history.
    ASSERT_TRUE(pumpUntil([&] { return !desktop->notices().empty(); }, 10s));
    EXPECT_TRUE(std::regex_match(desktop->notices().back(),
                                 std::regex("PACEDECK - DTRAY\n!!! COMPLETED SUCCESSFULLY !!!\n"
                                            "BLOCKS DOWNLOADED: 40 - RUN TIME: 00:0\\d:\\d\\d")))
        << desktop->notices().back();
    QTest::qWait(500);
    desktop->save(noticeCorner, "notification-success.png");
    const auto runs = copy.history();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, successStamp);
    EXPECT_EQ(runs[0].downloaded, 40);
    shell("dunstctl close-all");
}

TEST(Desktop, AStuckNodeIsNotifiedWhenCaughtAndAClickOnTheNoticeOpensTheEndReport) {
    DesktopCopy copy("DSTUCK", "stuck_at=1020\n",
                     "[PACEDECK_CRYPTO_SETTINGS]\nSTALL_LIMIT_TEXTBOX = 00:00:20\npress = SAVE_BUTTON\n");
    ASSERT_TRUE(copy.ready);
    auto& w = copy.start();
    const auto before = desktop->notices().size();
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    auto noticeSaying = [&](const std::string& stamp) {
        const auto all = desktop->notices();
        return std::any_of(all.begin() + std::ptrdiff_t(before), all.end(),
                           [&](auto& n) { return n.starts_with("PACEDECK - DSTUCK\n" + stamp); });
    };
    ASSERT_TRUE(pumpUntil([&] { return noticeSaying("!!! NODE STUCK !!!\n"); }, 150s))
        << w.CURRENT_STATUS_LABEL.text();
    EXPECT_TRUE(noticeSaying("!!! NO PEERS !!!\nBLOCKS DOWNLOADED: 20 - RUN TIME: "))
        << testing::PrintToString(desktop->notices());
    ASSERT_TRUE(copy.app->running());

    // The notice on screen, clicked while the run goes on.
    std::optional<QRect> shown;
    ASSERT_TRUE(pumpUntil([&] { return bool(shown = noticeOnScreen()); }, 5s));
    QTest::qWait(300);
    desktop->save(noticeCorner, "notification-stuck.png");
    desktop->save(trayCorner, "tray-running.png");
    ASSERT_TRUE(clickOnScreen(shown->center().x(), shown->center().y()));
    const auto report = HomeLayout(copy.profile, copy.home, copy.exe).endReport();
    EXPECT_TRUE(pumpUntil([&] { return simtest::readFile(copy.dir / "opened") == report + "\n"; }, 10s))
        << simtest::readFile(copy.dir / "opened");

    ASSERT_TRUE(pumpUntil([&] { return !copy.app->running(); }, 60s)) << w.CURRENT_STATUS_LABEL.text();
    ASSERT_TRUE(pumpUntil(
        [&] { return desktop->notices().back().starts_with("PACEDECK - DSTUCK\n!!! NODE STUCK !!!\n"); },
        10s));
    const auto runs = copy.history();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].outcome, "!!! NODE STUCK !!!");
    EXPECT_EQ(runs[0].heightAfter, 1020);
    shell("dunstctl close-all");
}

TEST(Desktop, TheTrayMenuOpensTheReportsAndTheRunHistoryAndAsksBeforeExit) {
    DesktopCopy copy("DMENU", "", "");
    ASSERT_TRUE(copy.ready);
    const auto text = weeksOfRuns();
    simtest::writeFile(HomeLayout(copy.profile, copy.home, copy.exe).runHistory(), text);
    // The last run failed: the icon shows its cross.
    copy.store.write(copy.exe, "MULTILOADER_LAST_RUN_TEXTBOX", "!!! QT / DAEMON ERROR !!!");

    copy.start();
    ASSERT_TRUE(pumpUntil([&] { return trayIconWindow() && insideTray(trayIconWindow()->winId()); }, 20s));
    QTest::qWait(300);
    desktop->save(trayCorner, "tray-last-run-failed.png");

    // The menu as the tray shows it, then its entries as a user picks them.
    auto* menu = copy.icon()->contextMenu();
    ASSERT_NE(menu, nullptr);
    const auto actions = menu->actions();
    ASSERT_EQ(actions.size(), 4);  // Show, REPORTS / LOGS, a separator, EXIT
    menu->popup(copy.icon()->geometry().topLeft() - QPoint(120, 90));
    QTest::qWait(300);
    desktop->save(trayCorner, "tray-menu.png");
    menu->hide();
    actions[1]->trigger();
    auto* reports = copy.app->find<ReportsLogsWindow>();
    ASSERT_NE(reports, nullptr);
    ASSERT_TRUE(reports->RUN_HISTORY_BUTTON.click());
    auto* history = copy.app->find<RunHistoryWindow>();
    ASSERT_NE(history, nullptr);
    QTest::qWait(500);
    auto* view = copy.frontEnd->viewOf(*history);
    ASSERT_NE(view, nullptr);
    desktop->save(view->grab(), "run-history-window.png");
    EXPECT_EQ(history->RUN_HISTORY_TEXTBOX.text(), runHistoryTable(parseRunHistory(text), runHistoryRows));
    ASSERT_TRUE(history->RUN_CHART_BUTTON.click());
    const auto chart = HomeLayout(copy.profile, copy.home, copy.exe).runHistoryChart();
    EXPECT_TRUE(
        simtest::waitUntil([&] { return simtest::readFile(copy.dir / "opened") == chart + "\n"; }, 10s));
    shell("rsvg-convert -o " + word(std::string(PACEDECK_DESKTOP_SCREENS) + "/run-history-chart.png") + " " +
          word(chart));

    // EXIT asks first: No keeps the copy, Yes leaves as EXIT does.
    std::string asked;
    for (const bool yes : {false, true}) {
        QTimer::singleShot(300, [&, yes] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            asked = box->text().toStdString();
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        actions[3]->trigger();
        EXPECT_EQ(asked, "EXIT PACEDECK - DMENU?");
        EXPECT_EQ(copy.app->running(), !yes);
    }
    EXPECT_EQ(copy.store.read(copy.exe, "MULTILOADER_LAST_RUN_TEXTBOX", ""), "!!! MANUAL EXIT !!!");
}

}  // namespace pd::test

int main(int argc, char** argv) {
    using namespace std::chrono_literals;
    ::testing::InitGoogleTest(&argc, argv);
    pd::test::Session session;
    if (!session.start()) {
        std::fprintf(stderr, "no X server could be started\n");
        return 1;
    }
    pd::test::desktop = &session;
    QApplication qt(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // The tray and the notification service take a moment to come up.
    const bool tray = pd::test::pumpUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 20s);
    const bool service = pd::test::pumpUntil(
        [] {
            auto* bus = QDBusConnection::sessionBus().interface();
            return bus && bus->isServiceRegistered(QStringLiteral("org.freedesktop.Notifications")).value();
        },
        20s);
    if (!tray || !service) {
        std::fprintf(stderr, "the tray (%d) or the notification service (%d) did not come up\n", tray,
                     service);
        return 1;
    }
    return RUN_ALL_TESTS();
}
