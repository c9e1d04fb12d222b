#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "Harness.hpp"
#include "schedule/CommandQueue.hpp"
#include "schedule/PowerAutotimerSettingsWindow.hpp"
#include "schedule/PowerAutotimerWindow.hpp"

namespace pd::test {

namespace {

struct RecordingDialogs final : Dialogs {
    std::vector<std::string> messages;
    std::optional<std::string> browseFolder(Window&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFile(Window&, const std::string&, const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void message(Window&, const std::string&, const std::string& text) override { messages.push_back(text); }
};

// Opens the countdown window as the run's last stage does; statuses, when given, records
// every status the window shows, since it closes in the tick that shows its last one.
PowerAutotimerWindow& openCountdown(Harness& h, std::vector<std::string>* statuses = nullptr) {
    auto& window = h.app.open<PowerAutotimerWindow>(&h.main(), false);
    if (statuses)
        window.AUTOTIMER_TITLE_LABEL.observe([statuses](const Element& e) {
            if (statuses->empty() || statuses->back() != e.text()) statuses->push_back(e.text());
        });
    return window;
}

}  // namespace

// ---------------------------------------------------------------- settings window

TEST(PowerAutotimerSettings, LoadTicksTheStoredActionAndGreysTheOthers) {
    Harness h;
    h.put("AUTOTIMER_ACTION_TEXTBOX", "RESTART PC");
    h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:02:30");
    auto& main = h.start();
    main.AUTOTIMER_ACTION_TEXTBOX.setText("");
    auto& s = h.app.open<PowerAutotimerSettingsWindow>(&main);
    EXPECT_EQ(s.caption(), "PACEDECK - POWER AUTOTIMER SETTINGS");
    EXPECT_EQ(s.geometry().width, 4785);
    EXPECT_EQ(s.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:02:30");
    EXPECT_EQ(s.AUTOTIMER_ACTION_TEXTBOX.text(), "RESTART PC");
    EXPECT_TRUE(s.RESTART_TICKBOX.ticked());
    EXPECT_TRUE(s.RESTART_TICKBOX.enabled());
    for (auto* other : {&s.SHUTDOWN_TICKBOX, &s.HIBERNATE_TICKBOX, &s.LOGOFF_TICKBOX}) {
        EXPECT_FALSE(other->ticked()) << other->name();
        EXPECT_FALSE(other->enabled()) << other->name();
    }
    EXPECT_EQ(main.AUTOTIMER_ACTION_TEXTBOX.text(), "RESTART PC") << "loading ticks as a click would";
}

TEST(PowerAutotimerSettings, NoStoredActionShowsEmptyAndLeavesEveryChoiceOpen) {
    for (const char* stored : {"<none>", "!!! NO ACTION SET !!!", "REBOOT"}) {
        SCOPED_TRACE(stored);
        Harness h;
        if (std::string(stored) != "<none>") h.put("AUTOTIMER_ACTION_TEXTBOX", stored);
        auto& s = h.app.open<PowerAutotimerSettingsWindow>(&h.start());
        EXPECT_EQ(s.AUTOTIMER_ACTION_TEXTBOX.text(), std::string(stored) == "<none>" ? "" : stored);
        EXPECT_EQ(s.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:00");
        for (auto* t : {&s.SHUTDOWN_TICKBOX, &s.RESTART_TICKBOX, &s.HIBERNATE_TICKBOX, &s.LOGOFF_TICKBOX}) {
            EXPECT_FALSE(t->ticked());
            EXPECT_TRUE(t->enabled());
        }
    }
}

TEST(PowerAutotimerSettings, OneActionAtATimeStoredAtOnceAndCopiedToTheMainWindow) {
    Harness h;
    auto& main = h.start();
    auto& s = h.app.open<PowerAutotimerSettingsWindow>(&main);

    ASSERT_TRUE(s.SHUTDOWN_TICKBOX.click());
    EXPECT_EQ(s.AUTOTIMER_ACTION_TEXTBOX.text(), "SHUTDOWN PC");
    EXPECT_EQ(main.AUTOTIMER_ACTION_TEXTBOX.text(), "SHUTDOWN PC");
    EXPECT_EQ(h.stored("AUTOTIMER_ACTION_TEXTBOX"), "SHUTDOWN PC");
    EXPECT_FALSE(s.RESTART_TICKBOX.click()) << "Restart cannot be ticked while Shutdown is";
    EXPECT_FALSE(s.RESTART_TICKBOX.ticked());

    ASSERT_TRUE(s.SHUTDOWN_TICKBOX.click());
    EXPECT_EQ(s.AUTOTIMER_ACTION_TEXTBOX.text(), "");
    EXPECT_EQ(main.AUTOTIMER_ACTION_TEXTBOX.text(), "") << "the end report's final action follows";
    EXPECT_EQ(h.stored("AUTOTIMER_ACTION_TEXTBOX"), "");
    for (auto* t : {&s.RESTART_TICKBOX, &s.HIBERNATE_TICKBOX, &s.LOGOFF_TICKBOX}) EXPECT_TRUE(t->enabled());

    const std::vector<std::pair<TickBox*, std::string>> actions = {
        {&s.SHUTDOWN_TICKBOX, "SHUTDOWN PC"},
        {&s.RESTART_TICKBOX, "RESTART PC"},
        {&s.HIBERNATE_TICKBOX, "HIBERNATE PC"},
        {&s.LOGOFF_TICKBOX, "LOGOFF CURRENT USER"}};
    for (auto& [tick, text] : actions) {
        ASSERT_TRUE(tick->click());
        EXPECT_EQ(h.stored("AUTOTIMER_ACTION_TEXTBOX"), text);
        EXPECT_EQ(main.AUTOTIMER_ACTION_TEXTBOX.text(), text);
        tick->click();
    }
}

TEST(PowerAutotimerSettings, OkStoresTheCountdownAndCopiesItToTheMainWindow) {
    Harness h;
    auto& main = h.start();
    auto& s = h.app.open<PowerAutotimerSettingsWindow>(&main);
    s.moveTo(2000, 3000);
    s.HIBERNATE_TICKBOX.click();
    ASSERT_TRUE(s.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.type("00:01:00"));
    auto before = h.store.writtenKeys(h.app.exe()).size();
    ASSERT_TRUE(s.OK_BUTTON.click());
    EXPECT_FALSE(s.isOpen());
    EXPECT_EQ(main.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:01:00");
    EXPECT_EQ(main.AUTOTIMER_ACTION_TEXTBOX.text(), "HIBERNATE PC");
    auto keys = h.store.writtenKeys(h.app.exe());
    EXPECT_EQ(std::vector<std::string>(keys.begin() + static_cast<long>(before), keys.end()),
              (std::vector<std::string>{"POWER_AUTOTIMER_SETTINGS-Left", "POWER_AUTOTIMER_SETTINGS-Top",
                                        "AUTOTIMER_ACTION_TEXTBOX", "CLOSE_REQUEST_COUNTDOWN_TEXTBOX"}));
    EXPECT_EQ(h.stored("CLOSE_REQUEST_COUNTDOWN_TEXTBOX"), "00:01:00");
    EXPECT_EQ(h.stored("POWER_AUTOTIMER_SETTINGS-Left"), "2000");
}

TEST(PowerAutotimerSettings, ClosingWithoutOkKeepsOnlyThePosition) {
    Harness h;
    auto& main = h.start();
    auto& s = h.app.open<PowerAutotimerSettingsWindow>(&main);
    s.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.type("00:09:00");
    s.close();
    EXPECT_EQ(h.stored("CLOSE_REQUEST_COUNTDOWN_TEXTBOX"), "<unset>");
    EXPECT_EQ(h.stored("POWER_AUTOTIMER_SETTINGS-Top"), "1000");
    EXPECT_EQ(main.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:00");
}

TEST(PowerAutotimerSettings, OkRefusesACountdownThatIsNoTime) {
    Harness h;
    RecordingDialogs dialogs;
    h.app.setDialogs(dialogs);
    auto& main = h.start();
    auto& s = h.app.open<PowerAutotimerSettingsWindow>(&main);
    s.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.type("one minute");
    s.OK_BUTTON.click();
    EXPECT_TRUE(s.isOpen());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("HH:MM:SS"), std::string::npos);
    EXPECT_EQ(h.stored("CLOSE_REQUEST_COUNTDOWN_TEXTBOX"), "<unset>");
    EXPECT_EQ(main.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:00");
}

// ---------------------------------------------------------------- countdown window

TEST(PowerAutotimerCountdown, OneMinuteActsOnTheSixtiethTickAndCloses) {
    Harness h("DEMO", windowsProfile());
    h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:01:00");
    auto& main = h.start();
    main.AUTOTIMER_ACTION_TEXTBOX.setText("SHUTDOWN PC");
    std::vector<std::string> statuses;
    auto& c = openCountdown(h, &statuses);
    EXPECT_EQ(c.caption(), "PACEDECK - POWER AUTOTIMER");
    EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:01:00");
    EXPECT_EQ(c.AUTOTIMER_ACTION_TEXTBOX.text(), "SHUTDOWN PC");
    EXPECT_EQ(c.AUTOTIMER_TITLE_LABEL.text(), "!!! AUTOSTARTING !!!");
    EXPECT_TRUE(c.AUTOTIMER_COUNTER.enabled());

    h.advance(1000);
    EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:59");
    EXPECT_EQ(c.START_STOP_BUTTON.text(), "STOP");
    EXPECT_EQ(c.AUTOTIMER_TITLE_LABEL.text(), "!!! AUTOTIMER RUNNING !!!");
    h.advance(58000);
    EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:01");
    EXPECT_TRUE(h.platform.launches.empty());

    h.advance(1000);
    ASSERT_EQ(h.platform.launches.size(), 1u);
    EXPECT_EQ(h.platform.launches[0].what, "shutdown /s /t 0");
    EXPECT_FALSE(h.platform.launches[0].script);
    EXPECT_EQ(h.platform.launches[0].style, WindowStyle::Hidden);
    EXPECT_EQ(statuses.back(), "!!! SHUTTING DOWN !!!");
    h.advance(CommandQueue::pollMs);
    EXPECT_EQ(h.app.find<PowerAutotimerWindow>(), nullptr);
    EXPECT_EQ(h.stored("AUTOTIMER_Left"), "1000");
    EXPECT_EQ(h.stored("AUTOTIMER_Top"), "1000");
}

TEST(PowerAutotimerCountdown, ASlowPowerCommandIsRunOnceAndItsAnswerDecides) {
    // A system that takes seconds to answer (a hibernate that returns after the resume)
    // must not get the command again at each tick of the counter standing at zero.
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "taken" : "refused");
        Harness h("DEMO", posixProfile("/home/tester"));
        h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:00:01");
        h.start().AUTOTIMER_ACTION_TEXTBOX.setText("HIBERNATE PC");
        h.platform.commandsWait = true;
        auto& c = openCountdown(h);
        h.advance(10000);
        EXPECT_EQ(h.platform.launched().size(), 1u);
        h.platform.commandResult.exitStatus = ok ? 0 : 1;
        h.platform.finishCommands();
        h.advance(CommandQueue::pollMs);
        EXPECT_EQ(h.platform.launched().size(), 1u);
        if (ok) {
            EXPECT_EQ(h.app.find<PowerAutotimerWindow>(), nullptr);
        } else {
            EXPECT_EQ(c.START_STOP_BUTTON.text(), "START");
            EXPECT_FALSE(c.AUTOTIMER_COUNTER.enabled());
        }
    }
}

TEST(PowerAutotimerCountdown, EachActionRunsItsProfileCommand) {
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
        {"SHUTDOWN PC", "!!! SHUTTING DOWN !!!", "shutdown /s /t 0", "systemctl poweroff"},
        {"RESTART PC", "!!! RESTARTING !!!", "shutdown /g /f /t 0", "systemctl reboot"},
        {"HIBERNATE PC", "!!! HIBERNATING !!!", "shutdown /h", "systemctl hibernate"},
        {"LOGOFF CURRENT USER", "!!! LOGGING OFF USER !!!", "shutdown /l", "loginctl terminate-session"},
    };
    for (auto& [action, status, windowsCommand, posixCommand] : cases) {
        for (bool windows : {true, false}) {
            SCOPED_TRACE(action + (windows ? " (windows)" : " (posix)"));
            Harness h("DEMO", windows ? windowsProfile() : posixProfile("/home/tester"));
            h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:00:02");
            h.start().AUTOTIMER_ACTION_TEXTBOX.setText(action);
            std::vector<std::string> statuses;
            openCountdown(h, &statuses);
            h.advance(2000);
            ASSERT_EQ(h.platform.launched().size(), 1u);
            if (windows)
                EXPECT_EQ(h.platform.launched()[0], windowsCommand);
            else
                EXPECT_EQ(h.platform.launched()[0].rfind(posixCommand, 0), 0u) << h.platform.launched()[0];
            EXPECT_EQ(statuses.back(), status);
        }
    }
}

TEST(PowerAutotimerCountdown, StopAtTwentySecondsAndStartContinuesFromThere) {
    Harness h;
    h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:00:30");
    h.start().AUTOTIMER_ACTION_TEXTBOX.setText("RESTART PC");
    auto& c = openCountdown(h);
    h.advance(10000);
    ASSERT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:20");

    ASSERT_TRUE(c.START_STOP_BUTTON.click());
    EXPECT_EQ(c.START_STOP_BUTTON.text(), "START");
    EXPECT_EQ(c.AUTOTIMER_TITLE_LABEL.text(), "!!! COUNTDOWN STOPPED !!!");
    EXPECT_FALSE(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.locked());
    h.advance(60000);
    EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:20");
    // Editing while stopped does not move the count; the next tick shows it again.
    ASSERT_TRUE(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.type("00:00:03"));

    c.START_STOP_BUTTON.click();
    EXPECT_EQ(c.START_STOP_BUTTON.text(), "STOP");
    EXPECT_EQ(c.AUTOTIMER_TITLE_LABEL.text(), "!!! COUNTDOWN STARTED !!!");
    EXPECT_TRUE(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.locked());
    h.advance(1000);
    EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "00:00:19");
    h.advance(18000);
    EXPECT_TRUE(h.platform.launches.empty());
    h.advance(1000);
    EXPECT_EQ(h.platform.launched().size(), 1u);
}

TEST(PowerAutotimerCountdown, ZeroStartActsOnTheFirstTick) {
    Harness h("DEMO", windowsProfile());
    h.start().AUTOTIMER_ACTION_TEXTBOX.setText("LOGOFF CURRENT USER");
    openCountdown(h);
    h.advance(999);
    EXPECT_TRUE(h.platform.launches.empty());
    h.advance(1);
    EXPECT_EQ(h.platform.launched(), std::vector<std::string>{"shutdown /l"});
    // It closes once the system has taken the command.
    EXPECT_NE(h.app.find<PowerAutotimerWindow>(), nullptr);
    h.advance(CommandQueue::pollMs);
    EXPECT_EQ(h.app.find<PowerAutotimerWindow>(), nullptr);
}

TEST(PowerAutotimerCountdown, NoActionAtZeroKeepsTheWindowOpenAndSaysSo) {
    for (const char* action : {"!!! NO ACTION SET !!!", "", "!!! ACTION !!!"}) {
        SCOPED_TRACE(action);
        Harness h;
        h.put("CLOSE_REQUEST_COUNTDOWN_TEXTBOX", "00:00:05");
        h.start().AUTOTIMER_ACTION_TEXTBOX.setText(action);
        auto& c = openCountdown(h);
        h.advance(5000);
        EXPECT_TRUE(c.isOpen());
        EXPECT_TRUE(h.platform.launches.empty());
        EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "--:--:--");
        EXPECT_NE(c.AUTOTIMER_TITLE_LABEL.text().find("NO POWER ACTION SET"), std::string::npos);
        EXPECT_FALSE(c.AUTOTIMER_COUNTER.enabled());
        EXPECT_EQ(c.START_STOP_BUTTON.text(), "START");
        // The main window no longer says it is running the power autotimer.
        EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), "!!! NO POWER ACTION SET - NOTHING RUN !!!");
        h.advance(60000);
        EXPECT_EQ(c.CLOSE_REQUEST_COUNTDOWN_TEXTBOX.text(), "--:--:--");
    }
}

TEST(PowerAutotimerCountdown, ACommandTheSystemRefusesIsShownAndLoggedAndTheWindowStays) {
    struct Case {
        CommandResult result;
        std::string said;
    };
    for (const auto& c : std::vector<Case>{
             {{false, -1, "cannot start /bin/sh"},
              "!!! POWER ACTION NOT DONE - THE COMMAND COULD NOT START: cannot start /bin/sh !!!"},
             {{true, 1, "Failed to hibernate system via logind: Access denied\nmore"},
              "!!! POWER ACTION NOT DONE - THE COMMAND FAILED (EXIT STATUS 1): Failed to hibernate system "
              "via "
              "logind: Access denied !!!"}}) {
        Harness h;
        h.put("PACEDECK_HOME_TEXTBOX", "/pd");
        h.platform.folders = {"/pd/LOGS"};
        h.platform.commandResult = c.result;
        h.start().AUTOTIMER_ACTION_TEXTBOX.setText("HIBERNATE PC");
        auto& w = openCountdown(h);
        h.advance(1000 + CommandQueue::pollMs);
        EXPECT_TRUE(w.isOpen());
        EXPECT_EQ(w.AUTOTIMER_TITLE_LABEL.text(), c.said);
        EXPECT_FALSE(w.AUTOTIMER_COUNTER.enabled());
        EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), c.said);
        EXPECT_EQ(h.platform.files["/pd/LOGS/DEMO-POWER-AUTOTIMER.LOG"],
                  "07/12/2026 12:00:00 HIBERNATE PC - " + c.said + "\n");
    }
}

// A shutdown would cut the run's report mail short: the action waits for the mailer to end,
// saying so, and at most five minutes.
TEST(PowerAutotimerCountdown, TheActionWaitsForTheMailerToEndAtMostFiveMinutes) {
    for (int mailerEndsAfter : {30, 0}) {  // 0: it never ends
        SCOPED_TRACE(mailerEndsAfter);
        Harness h("DEMO", windowsProfile());
        h.put("PACEDECK_HOME_TEXTBOX", "C:\\PD");
        h.platform.folders = {"C:\\PD\\LOGS"};
        h.platform.running = {"SendEmail.exe"};
        h.start().AUTOTIMER_ACTION_TEXTBOX.setText("SHUTDOWN PC");
        auto& c = openCountdown(h);
        h.advance(1000);
        EXPECT_EQ(c.AUTOTIMER_TITLE_LABEL.text(),
                  "!!! WAITING FOR SendEmail.exe TO END - AT MOST 00:05:00 MORE !!!");
        EXPECT_EQ(h.main().CURRENT_STATUS_LABEL.text(), c.AUTOTIMER_TITLE_LABEL.text());
        const int waited = mailerEndsAfter ? mailerEndsAfter : 300;
        h.advance((waited - 1) * 1000);
        EXPECT_TRUE(h.platform.launches.empty());
        if (mailerEndsAfter) h.platform.running.clear();
        h.advance(1000);
        EXPECT_EQ(h.platform.launched(), std::vector<std::string>{"shutdown /s /t 0"});
        const auto log = h.platform.files["C:\\PD\\LOGS\\DEMO-POWER-AUTOTIMER.LOG"];
        EXPECT_EQ(log.find("SendEmail.exe STILL RUNNING AFTER 00:05:00 - ACTING ANYWAY") != std::string::npos,
                  !mailerEndsAfter);
    }
}

}  // namespace pd::test
