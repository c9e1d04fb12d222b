#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/SelfTerminationWindow.hpp"
#include "tools/TerminatorWindow.hpp"

namespace pd::test {

namespace {
struct Terminator : Harness {
    explicit Terminator(std::string exe = "BTC", Profile profile = windowsProfile())
        : Harness(std::move(exe), std::move(profile)) {
        put("QT_NAME_TEXTBOX", "bitcoin-qt.exe");
        put("DAEMOND_NAME_TEXTBOX", "bitcoind.exe");
        put("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "bitcoin-cli.exe");
    }
    TerminatorWindow& open() {
        start();
        return app.open<TerminatorWindow>(&main());
    }
    // The main window's watcher turns the process table into its lights.
    void lights(Colour qt, Colour daemon, Colour cli, Colour mailer) {
        auto show = [this](const std::string& name, Colour c) {
            platform.running.erase(name);
            if (c == colour::green) platform.running.insert(name);
        };
        show("bitcoin-qt.exe", qt);
        show("bitcoind.exe", daemon);
        show("bitcoin-cli.exe", cli);
        show(app.profile().mailerFile, mailer);
    }
};

struct RecordingFrontEnd final : FrontEnd {
    explicit RecordingFrontEnd(FakePlatform& p) : platform(p) {}
    void windowOpened(Window&) override {}
    void windowClosed(Window&) override {}
    void keepOnTop(Window&) override {}
    void quit() override {
        terminatedBeforeQuit = platform.terminated;
        ++quits;
    }
    FakePlatform& platform;
    std::vector<std::string> terminatedBeforeQuit;
    int quits = 0;
};
}  // namespace

TEST(TerminatorWindow, NothingWorksUntilArmedThenEachButtonFollowsItsLight) {
    Terminator h;
    auto& w = h.open();
    EXPECT_EQ(w.QT_NAME_TEXTBOX.text(), "bitcoin-qt.exe");
    EXPECT_EQ(w.DAEMON_NAME_TEXTBOX.toolTip(), "bitcoind.exe");
    EXPECT_EQ(w.PROCESS_TEXTBOX_4.text(), "SendEmail.exe");
    EXPECT_EQ(w.MIRROR_PROCESS_STATE_TIMER.interval(), 1000);
    EXPECT_EQ(w.WARNING_LABEL_3.text(),
              "!!! WARNING: TERMINATING QT / DAEMON PROCESSES MAY / \r\n"
              "PROBABLY WILL CAUSE BLOCKCHAIN DATABASE CORRUPTION !!!\r\n");
    h.lights(colour::green, colour::red, colour::green, colour::green);
    h.advance(3000);
    EXPECT_FALSE(w.QT_TERMINATE_BUTTON.enabled());
    EXPECT_FALSE(w.CUSTOM_PROCESS_NAME_TEXTBOX.enabled());
    EXPECT_FALSE(w.QT_TERMINATE_BUTTON.click());

    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    EXPECT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.enabled());
    h.advance(999);
    EXPECT_FALSE(w.QT_TERMINATE_BUTTON.enabled());
    h.advance(1);
    EXPECT_TRUE(w.QT_TERMINATE_BUTTON.enabled());
    EXPECT_TRUE(w.QT_NAME_TEXTBOX.enabled());
    EXPECT_EQ(w.QT_NAME_TEXTBOX.back(), colour::green);
    EXPECT_FALSE(w.DAEMON_TERMINATE_BUTTON.enabled());
    EXPECT_FALSE(w.DAEMON_NAME_TEXTBOX.enabled());
    EXPECT_EQ(w.DAEMON_NAME_TEXTBOX.back(), colour::red);
    EXPECT_TRUE(w.CLI_TERMINATE_BUTTON.enabled());
    EXPECT_TRUE(w.SENDEMAIL_TERMINATE_BUTTON.enabled());

    ASSERT_TRUE(w.QT_TERMINATE_BUTTON.click());
    ASSERT_TRUE(w.SENDEMAIL_TERMINATE_BUTTON.click());
    EXPECT_EQ(h.platform.terminated, (std::vector<std::string>{"bitcoin-qt.exe", "SendEmail.exe"}));

    // The process is gone: the next mirror greys its button.
    h.lights(colour::red, colour::red, colour::green, colour::red);
    h.advance(1000);
    EXPECT_FALSE(w.QT_TERMINATE_BUTTON.enabled());
    EXPECT_TRUE(w.CLI_TERMINATE_BUTTON.enabled());
}

TEST(TerminatorWindow, DisarmingGreysEveryButtonAndStopsWatching) {
    Terminator h;
    auto& w = h.open();
    h.platform.running.insert("stuck");
    h.lights(colour::green, colour::green, colour::green, colour::green);
    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    ASSERT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.type("stuck"));
    h.advance(1000);
    ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.enabled());
    ASSERT_TRUE(w.QT_TERMINATE_BUTTON.enabled());

    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.text(), "");
    EXPECT_FALSE(w.CUSTOM_PROCESS_NAME_TEXTBOX.enabled());
    EXPECT_FALSE(w.MIRROR_PROCESS_STATE_TIMER.enabled());
    EXPECT_FALSE(w.CUSTOM_PROCESS_WATCHER_TIMER.enabled());
    for (auto* b : {&w.QT_TERMINATE_BUTTON, &w.DAEMON_TERMINATE_BUTTON, &w.CLI_TERMINATE_BUTTON,
                    &w.SENDEMAIL_TERMINATE_BUTTON, &w.CUSTOM_TERMINATE_BUTTON})
        EXPECT_FALSE(b->enabled()) << b->name();
    for (auto* box : {&w.CUSTOM_PROCESS_NAME_TEXTBOX, &w.PROCESS_TEXTBOX_4, &w.QT_NAME_TEXTBOX,
                      &w.DAEMON_NAME_TEXTBOX, &w.CLI_NAME_TEXTBOX})
        EXPECT_EQ(box->back(), colour::windowBackground) << box->name();
    h.advance(5000);
    EXPECT_FALSE(w.QT_TERMINATE_BUTTON.enabled());
    EXPECT_TRUE(h.platform.terminated.empty());
}

TEST(TerminatorWindow, TheCustomWatchFollowsTheTypedName) {
    Terminator h;
    auto& w = h.open();
    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    h.advance(1000);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::windowBackground);
    ASSERT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.type("miner"));
    h.advance(1000);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::red);
    EXPECT_FALSE(w.CUSTOM_TERMINATE_BUTTON.enabled());
    h.platform.running.insert("miner");
    h.platform.running.insert("miner");
    h.advance(1000);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::green);
    ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.click());
    EXPECT_EQ(h.platform.terminated, std::vector<std::string>{"miner"});
    EXPECT_EQ(w.TERMINATED_LABEL.text(), "TERMINATED 2 PROCESS(ES) NAMED miner");
    h.advance(1000);
    EXPECT_EQ(w.CUSTOM_PROCESS_NAME_TEXTBOX.back(), colour::red);
}

TEST(TerminatorWindow, AMissingNameNeverArmsItsButton) {
    Terminator h;
    h.put("DAEMOND_NAME_TEXTBOX", "");
    auto& w = h.open();
    ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
    h.lights(colour::green, colour::red, colour::red, colour::red);
    h.advance(5000);
    EXPECT_FALSE(w.DAEMON_TERMINATE_BUTTON.enabled());
}

TEST(TerminatorWindow, TheProgramsOwnNameAsksFirstButOtherCasesAreOtherNames) {
    {
        Terminator h;
        auto& w = h.open();
        h.platform.running.insert("BTC.exe");
        ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
        ASSERT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.type("BTC.exe"));
        h.advance(1000);
        ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.click());
        auto* ask = h.app.find<SelfTerminationWindow>();
        ASSERT_NE(ask, nullptr);
        EXPECT_EQ(ask->owner(), &w);
        EXPECT_TRUE(h.platform.terminated.empty());
        ask->ONLY_JOKING_BUTTON.click();
        EXPECT_EQ(h.app.find<SelfTerminationWindow>(), nullptr);
        EXPECT_EQ(h.stored("SELF_TERMINATION_WINDOW-Left"), "1000");
        EXPECT_TRUE(h.platform.terminated.empty());

        h.platform.running.insert("btc.EXE");
        w.CUSTOM_PROCESS_NAME_TEXTBOX.setText("btc.EXE");
        h.advance(1000);
        ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.click());
        EXPECT_EQ(h.app.find<SelfTerminationWindow>(), nullptr);
        EXPECT_EQ(h.platform.terminated, std::vector<std::string>{"btc.EXE"});
    }
    {
        // Under POSIX the program's name has no suffix.
        Terminator h("BTC", posixProfile("/home/tester"));
        auto& w = h.open();
        h.platform.running.insert("BTC");
        ASSERT_TRUE(w.ENABLE_TERMINATOR_TICKBOX.click());
        ASSERT_TRUE(w.CUSTOM_PROCESS_NAME_TEXTBOX.type("BTC"));
        h.advance(1000);
        ASSERT_TRUE(w.CUSTOM_TERMINATE_BUTTON.click());
        EXPECT_NE(h.app.find<SelfTerminationWindow>(), nullptr);
        EXPECT_TRUE(h.platform.terminated.empty());
    }
}

TEST(TerminatorWindow, SelfTerminationEndsTheOtherCopiesThenThisOne) {
    Terminator h;
    RecordingFrontEnd frontEnd(h.platform);
    h.app.setFrontEnd(&frontEnd);
    auto& w = h.open();
    auto& ask = h.app.open<SelfTerminationWindow>(&w);
    EXPECT_EQ(ask.QUESTION_LABEL.text(), "MMM... SELF-TERMINATION... !?!?!? :)");
    ASSERT_TRUE(ask.SELF_TERMINATE_BUTTON.click());
    EXPECT_EQ(frontEnd.quits, 1);
    EXPECT_EQ(frontEnd.terminatedBeforeQuit, std::vector<std::string>{"BTC.exe"});
    // A kill saves nothing: the main window was not closed.
    EXPECT_TRUE(h.main().isOpen());
    EXPECT_EQ(h.stored("MAIN-Left"), "<unset>");
}

TEST(TerminatorWindow, ClosingStoresOnlyThePlace) {
    Terminator h;
    auto& w = h.open();
    w.moveTo(400, 500);
    h.store.clearLog();
    ASSERT_TRUE(w.OK_BUTTON.click());
    EXPECT_EQ(h.store.writtenKeys("BTC"),
              (std::vector<std::string>{"TERMINATOR_WINDOW-Left", "TERMINATOR_WINDOW-Top"}));
    EXPECT_EQ(h.stored("TERMINATOR_WINDOW-Top"), "500");
}

}  // namespace pd::test
