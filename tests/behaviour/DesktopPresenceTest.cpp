#include <gtest/gtest.h>

#include "FakeDialogs.hpp"
#include "Harness.hpp"
#include "main/RunHistory.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"

namespace pd::test {

namespace {

constexpr const char* home = "/home/tester/PD";
constexpr const char* chain = "/home/tester/chain";
constexpr std::int64_t startOfTests = 1796747400;  // 2026-12-08T16:30:00Z

// What the model asked of the desktop.
struct FakeDesktop final : Desktop {
    bool hasTray = true;
    bool hasNotifications = true;
    std::vector<TrayState> shown;
    bool present = false;
    std::vector<Notice> notices;  // every one asked for, given or not

    bool showTray(const TrayState& state) override {
        if (!hasTray) return false;
        shown.push_back(state);
        present = true;
        return true;
    }
    void removeTray() override { present = false; }
    bool notify(const Notice& notice) override {
        notices.push_back(notice);
        return hasNotifications;
    }
};

// A copy whose runs skip every optional stage and close themselves, started in the week
// given after the start of the tests; it finds the store and files `before` left. The wall
// clock follows the virtual one.
struct Copy : Harness {
    explicit Copy(int week = 0, const Copy* before = nullptr) {
        if (before) {
            store = before->store;
            platform.files = before->platform.files;
        }
        put("PACEDECK_HOME_TEXTBOX", home);
        put("BLOCKCHAIN_HOME_TEXTBOX", chain);
        put("ALWAYS_ON_TOP_TICKBOX", "0");
        put("TASK_19_ENABLE_TICKBOX", "1");
        platform.folders = {home, std::string(home) + "/REPORTS"};
        platform.wallClock = [this, week] {
            return startOfTests + week * 7 * 86400 + scheduler.now() / 1000;
        };
        app.setDesktop(&desktop);
        app.setDialogs(dialogs);
    }
    // The windows outlive this part of the copy: they are destroyed with the App.
    ~Copy() { app.setDesktop(nullptr); }
    Copy(const Copy&) = delete;
    Copy& operator=(const Copy&) = delete;
    // One run from its START to its autoclose: the chain grows from `from` to `to` (the
    // numbers stages 6 and 10 log), and `fault` (when given) is what went wrong.
    void run(long long from, long long to, std::string_view fault = "") {
        auto& w = start();
        platform.folderSizes[chain] = std::uint64_t(from) * 1000;
        ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
        logNumbers(w, std::to_string(from), std::to_string(to) + "\n");
        platform.folderSizes[chain] = std::uint64_t(to) * 1000;
        if (!fault.empty()) w.noteRunFault(fault);
        advance(10000 + 11000);  // the rest of the run, stamped at its last stage, then autoclose
        ASSERT_FALSE(app.running());
    }
    // From a run's START to its stage 10: the start and end numbers stages 6 and 10 log.
    void logNumbers(MainWindow& w, const std::string& before, const std::string& after) {
        advance(6000);
        w.BLOCKCOUNT_LOG_START_TEXTBOX.setText(before);
        advance(3000);
        w.BLOCKCOUNT_LOG_END_TEXTBOX.setText(after);
    }
    std::string history() { return platform.files[HomeLayout(app.profile(), home, "DEMO").runHistory()]; }

    FakeDesktop desktop;
    FakeDialogs dialogs;
};

// Three weekly runs of one copy: a success, a stuck node, a node that went away; the last
// one on a desktop with neither a tray nor a notification service.
std::vector<std::unique_ptr<Copy>> threeWeeks() {
    std::vector<std::unique_ptr<Copy>> weeks;
    const std::vector<std::tuple<long long, long long, std::string_view>> runs = {
        {1000, 1040, ""}, {1040, 1060, "!!! NODE STUCK !!!"}, {1060, 1060, "!!! QT / DAEMON ERROR !!!"}};
    for (const auto& [from, to, fault] : runs) {
        weeks.push_back(
            std::make_unique<Copy>(int(weeks.size()), weeks.empty() ? nullptr : weeks.back().get()));
        if (weeks.size() == 3) weeks.back()->desktop.hasTray = weeks.back()->desktop.hasNotifications = false;
        weeks.back()->run(from, to, fault);
    }
    return weeks;
}

}  // namespace

TEST(DesktopPresence, TheTrayIconFollowsTheRunAndItsEndIsNotifiedThenWrittenDown) {
    Copy c;
    auto& w = c.start();
    ASSERT_TRUE(c.desktop.present);
    EXPECT_EQ(c.desktop.shown.back(), (TrayState{TrayPicture::Idle, "DEMO - READY..."}));
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    c.advance(1000);
    EXPECT_EQ(c.desktop.shown.back(),
              (TrayState{TrayPicture::Running, "DEMO - LOGGING - DATE / TIME / PC NAME"}));
    // While the blockcounter follows the node the tip is the progress the status line's tip
    // holds; before and after, the status.
    w.CURRENT_STATUS_LABEL.setToolTip("HEIGHT 1100 OF 1300 - 84.62 % - 8 PEERS - ETA 00:00:20");
    EXPECT_EQ(c.desktop.shown.back().tip, "DEMO - LOGGING - DATE / TIME / PC NAME");
    w.TASK_8_LIGHT.setBack(colour::pink);
    EXPECT_EQ(c.desktop.shown.back().tip, "DEMO - HEIGHT 1100 OF 1300 - 84.62 % - 8 PEERS - ETA 00:00:20");
    w.TASK_8_LIGHT.setBack(colour::green);
    EXPECT_EQ(c.desktop.shown.back().tip, "DEMO - LOGGING - DATE / TIME / PC NAME");
    c.advance(5000);
    w.BLOCKCOUNT_LOG_START_TEXTBOX.setText("1000");
    c.advance(3000);
    w.BLOCKCOUNT_LOG_END_TEXTBOX.setText("1300\n");
    EXPECT_TRUE(c.desktop.notices.empty());
    c.advance(10000 + 11000);

    ASSERT_FALSE(c.app.running());
    ASSERT_EQ(c.desktop.notices.size(), 1u);
    EXPECT_EQ(c.desktop.notices[0].title, "PACEDECK - DEMO");
    EXPECT_EQ(c.desktop.notices[0].body,
              "!!! COMPLETED SUCCESSFULLY !!!\nBLOCKS DOWNLOADED: 300 - RUN TIME: 00:00:18");
    EXPECT_FALSE(c.desktop.notices[0].failure);
    EXPECT_EQ(c.history(), std::string(runHistoryHeader) +
                               "\n2026-12-08T16:30:00Z,2026-12-08T16:30:18Z,!!! COMPLETED SUCCESSFULLY "
                               "!!!,1000,1300,300,18,,\n");
}

TEST(DesktopPresence, ThreeRunsLeaveThreeLinesInOrderAndAFailureShowsOnTheIconUntilTheNextSuccess) {
    const auto weeks = threeWeeks();
    const auto runs = parseRunHistory(weeks.back()->history());
    ASSERT_EQ(runs.size(), 3u);
    const std::vector<std::tuple<std::string, long long, long long, long long>> expected = {
        {"!!! COMPLETED SUCCESSFULLY !!!", 1000, 1040, 40},
        {"!!! NODE STUCK !!!", 1040, 1060, 20},
        {"!!! QT / DAEMON ERROR !!!", 1060, 1060, 0},
    };
    for (std::size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [outcome, before, after, downloaded] = expected[i];
        EXPECT_EQ(runs[i].outcome, outcome);
        EXPECT_EQ(runs[i].heightBefore, before);
        EXPECT_EQ(runs[i].heightAfter, after);
        EXPECT_EQ(runs[i].downloaded, downloaded);
        EXPECT_EQ(runs[i].start, startOfTests + std::int64_t(i) * 7 * 86400);
        // Stamped at the run's last stage, before the autoclose countdown.
        EXPECT_EQ(runs[i].runSeconds, 18);
        EXPECT_EQ(runs[i].end - runs[i].start, 18);
        // Measured at stages 5 and 13, before and after the chain moved on.
        EXPECT_EQ(runs[i].bytesBefore, std::uint64_t(before) * 1000);
        EXPECT_EQ(runs[i].bytesAfter, std::uint64_t(after) * 1000);
        ASSERT_EQ(weeks[i]->desktop.notices.size(), 1u);
        EXPECT_EQ(weeks[i]->desktop.notices[0].failure, i > 0);
    }
    // The next start shows the last failure on the icon.
    Copy next(3, weeks.back().get());
    next.start();
    EXPECT_EQ(next.desktop.shown.back(), (TrayState{TrayPicture::Failed, "DEMO - READY..."}));
}

TEST(DesktopPresence, FaultsOnTheWayAreNotifiedOnceARunAndNotAtAllWithTheTickCleared) {
    Copy c;
    c.put("TASK_19_ENABLE_TICKBOX", "0");  // the program stays open until autoclose is started by hand
    auto& w = c.start();
    w.presence.alert("!!! NO PEERS !!!");  // no run going: nothing to tell
    EXPECT_TRUE(c.desktop.notices.empty());
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    c.logNumbers(w, "1000", "1020");
    for (int poll = 0; poll < 3; ++poll) w.presence.alert("!!! NO PEERS !!!");
    w.presence.alert("!!! NODE STUCK !!!");
    ASSERT_EQ(c.desktop.notices.size(), 2u);
    EXPECT_EQ(c.desktop.notices[0].body, "!!! NO PEERS !!!\nBLOCKS DOWNLOADED: 20 - RUN TIME: 00:00:09");
    EXPECT_TRUE(c.desktop.notices[0].failure);
    EXPECT_EQ(c.desktop.notices[1].body.substr(0, 19), "!!! NODE STUCK !!!\n");

    // Switched off in the main settings: the icon goes at once and the run says nothing more,
    // yet its line is written.
    auto& settings = c.app.open<MainSettingsWindow>(&w);
    ASSERT_TRUE(settings.TRAY_NOTIFY_TICKBOX.ticked());
    ASSERT_TRUE(settings.TRAY_NOTIFY_TICKBOX.click());
    EXPECT_EQ(c.stored("TRAY_NOTIFY_TICKBOX"), "0");
    EXPECT_FALSE(c.desktop.present);
    const auto shownBefore = c.desktop.shown.size();
    w.presence.alert("!!! QT / DAEMON ERROR !!!");
    c.advance(10'000);  // the run ends at its last stage
    ASSERT_TRUE(w.TASK_19_ENABLE_TICKBOX.click());
    w.AUTOCLOSE_TIMER.start();
    c.advance(11'000);
    ASSERT_FALSE(c.app.running());
    EXPECT_EQ(c.desktop.notices.size(), 2u);
    EXPECT_EQ(c.desktop.shown.size(), shownBefore);
    EXPECT_EQ(parseRunHistory(c.history()).size(), 1u);
    // Off stays off at the next start.
    Copy next(1, &c);
    next.start();
    EXPECT_TRUE(next.desktop.shown.empty());
}

TEST(DesktopPresence, TheTrayMenuAndANotificationClickAskTheCopyAsItsButtonsWould) {
    Copy c;
    auto& w = c.start();
    // The reports window, once however often it is asked for.
    c.desktop.actions.reports();
    c.desktop.actions.reports();
    ASSERT_NE(c.app.find<ReportsLogsWindow>(), nullptr);
    EXPECT_EQ(c.app.openWindows().size(), 2u);
    // A click on the notification opens the saved end report in the editor.
    c.desktop.actions.openReport();
    EXPECT_EQ(c.platform.launched().back(), "xdg-open '/home/tester/PD/REPORTS/DEMO-END-REPORT.LOG'");
    // EXIT asks first; No leaves everything as it was.
    c.desktop.actions.exit();
    ASSERT_EQ(c.dialogs.asked.back().kind, "question");
    EXPECT_EQ(c.dialogs.asked.back().start, "EXIT PACEDECK - DEMO?");
    EXPECT_TRUE(c.app.running());
    EXPECT_EQ(c.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "<unset>");
    // During a run the question says what goes on; Yes leaves as EXIT does.
    ASSERT_TRUE(w.MULTILOADER_START_STOP_BUTTON.click());
    c.dialogs.questionAnswers = {true};
    c.desktop.actions.exit();
    EXPECT_EQ(c.dialogs.asked.back().start,
              "A RUN IS GOING ON - EXIT PACEDECK - DEMO ANYWAY? THE NODE KEEPS RUNNING.");
    EXPECT_FALSE(c.app.running());
    EXPECT_EQ(c.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "!!! MANUAL EXIT !!!");
    EXPECT_NE(c.stored("DESKTOP-Left"), "<unset>");
}

}  // namespace pd::test
