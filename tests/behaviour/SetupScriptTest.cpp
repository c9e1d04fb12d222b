#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "Harness.hpp"
#include "app/setup/Openers.hpp"
#include "app/setup/SetupDriver.hpp"
#include "app/setup/SetupHelp.hpp"
#include "app/setup/SetupScript.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

using setup::parseSetupScript;
using setup::SetupLine;

namespace {

// Applies a set-up text to a fresh copy on the fake platform, by the driver alone or as
// pacedeck-setup does (rehearsed first); the error, if any.
struct Applied {
    enum class Way { Driver, Rehearsed };
    explicit Applied(std::string_view text, Way way = Way::Driver,
                     const std::function<void(Harness&)>& arrange = nullptr)
        : h("BTC") {
        h.platform.folders = {"/", "/pd", "/pd/BATS"};
        if (arrange) arrange(h);
        auto script = parseSetupScript(text);
        EXPECT_FALSE(script.error) << script.error->message;
        if (way == Way::Driver)
            error = setup::SetupDriver(h.app).run(script.lines);
        else
            error = setup::applySetup("BTC", h.store, h.platform, h.app.profile(), h.clock, script.lines);
    }
    bool changedNothing() const {
        return h.store.writtenKeys("BTC").empty() &&
               h.store.writtenKeys(SettingsStore::sharedEmailSection).empty() && h.platform.files.empty() &&
               h.platform.folders == std::set<std::string>{"/", "/pd", "/pd/BATS"} &&
               h.platform.launches.empty();
    }
    Harness h;
    std::optional<setup::SetupError> error;
};

}  // namespace

TEST(SetupScript, ReadsSectionsValuesAndPresses) {
    auto s = parseSetupScript(
        "# a comment\r\n"
        "\n"
        "[PACEDECK_MAIN_SETTINGS]\n"
        "  PACEDECK_HOME_TEXTBOX =   /home/me/pd  \n"
        "QT_LOCATION_TEXTBOX = \"  /opt/my coin/bin \"\n"
        "CRYPTO_NAME_TEXTBOX = \"tab\\there \\\"q\\\" back\\\\slash\\r\\n\"\n"
        "EMPTY_TEXTBOX =\n"
        "press = OK_BUTTON\n");
    ASSERT_FALSE(s.error);
    ASSERT_EQ(s.lines.size(), 6u);
    EXPECT_EQ(s.lines[0].kind, SetupLine::Kind::Section);
    EXPECT_EQ(s.lines[0].line, 3);
    EXPECT_EQ(s.lines[0].name, "PACEDECK_MAIN_SETTINGS");
    EXPECT_EQ(s.lines[1].value, "/home/me/pd");
    EXPECT_EQ(s.lines[2].value, "  /opt/my coin/bin ");
    EXPECT_EQ(s.lines[3].value, "tab\there \"q\" back\\slash\r\n");
    EXPECT_EQ(s.lines[4].value, "");
    EXPECT_EQ(s.lines[5].kind, SetupLine::Kind::Press);
    EXPECT_EQ(s.lines[5].name, "OK_BUTTON");
    EXPECT_EQ(s.lines[5].line, 8);
}

TEST(SetupScript, NamesTheFirstLineItCannotRead) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    for (auto c : {Case{"X = 1\n", 1, "section must come first"},
                   Case{"[PACEDECK_MAIN]\nno equals sign\n", 2, "expected NAME = value"},
                   Case{"[PACEDECK_MAIN\n", 1, "[WINDOW_NAME]"},
                   Case{"[PACEDECK_MAIN]\nA = \"open\n", 2, "closing quote is missing"},
                   Case{"[PACEDECK_MAIN]\nA = \"x\" y\n", 2, "after the closing quote"},
                   Case{"[PACEDECK_MAIN]\n\nA = \"\\q\"\n", 3, "unknown escape \\q"},
                   Case{"[PACEDECK_MAIN]\npress =\n", 2, "press needs a button name"},
                   Case{"[PACEDECK_MAIN]\nA B = 1\n", 2, "not an element name"}}) {
        auto s = parseSetupScript(c.text);
        ASSERT_TRUE(s.error) << c.text;
        EXPECT_EQ(s.error->line, c.line) << c.text;
        EXPECT_NE(s.error->message.find(c.says), std::string::npos) << s.error->message;
    }
}

TEST(SetupScript, AppliesAFileThroughTheWindowsAsAUserWould) {
    Applied a(
        "[PACEDECK_MAIN_SETTINGS]\n"
        "PACEDECK_HOME_TEXTBOX = /pd\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_CRYPTO_SETTINGS]\n"
        "CRYPTO_NAME_TEXTBOX = \"Bit coin\"\n"
        "press = USE_QT_FOLDER_BUTTON\n"
        "press = USE_QT_FILE_BUTTON\n"
        "QT_WALLET_TICKBOX = 1\n"
        "QT_DISABLE_WALLET_TICKBOX = 1\n"
        "press = SAVE_BUTTON\n"
        "[PACEDECK_MAIN]\n"
        "RUN_QT_TICKBOX = 1\n");
    ASSERT_FALSE(a.error) << a.error->line << ": " << a.error->message;
    EXPECT_EQ(a.h.stored("PACEDECK_HOME_TEXTBOX"), "/pd");
    EXPECT_EQ(a.h.stored("CRYPTO_NAME_TEXTBOX"), "Bit coin");
    EXPECT_EQ(a.h.stored("QT_DISABLE_WALLET_TICKBOX"), "1");
    // The regeneration ran once before Save, so Save wrote the commands of the typed values.
    const std::string qt =
        "exec \"/usr/local/bin/bitcoin-qt\" -conf=/pd/CONFIGS/BTC-CRYPTO-CONFIG.conf -datadir= "
        "-disablewallet=1";
    EXPECT_EQ(a.h.stored("SW_QT_COMMAND_TEXTBOX"), qt);
    EXPECT_EQ(a.h.platform.files["/pd/BATS/BTC-RUN-QT.sh"], qt + "\n");
    // Every window closed at the end, the main window by its close box.
    EXPECT_FALSE(a.h.app.running());
    EXPECT_TRUE(a.h.app.openWindows().empty());
    EXPECT_EQ(a.h.stored("CRYPTO_SETTINGS-Left"), "1000");
    EXPECT_EQ(a.h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "<unset>");
    // No timer of the main window ran: nothing was started.
    EXPECT_TRUE(a.h.platform.launches.empty());
}

TEST(SetupScript, KeepsTheChainOpenAndClosesWindowsOutsideIt) {
    Harness h("BTC");
    h.put("PACEDECK_HOME_TEXTBOX", "/pd");
    auto script = parseSetupScript(
        "[PACEDECK_CRYPTO_SETTINGS]\n"
        "CRYPTO_NAME_TEXTBOX = A\n"
        "[PACEDECK_MAIN_SETTINGS]\n"
        "HEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:30\n"
        "[PACEDECK_CRYPTO_SETTINGS]\n");
    setup::SetupDriver driver(h.app);
    ASSERT_FALSE(driver.run(script.lines));
    auto written = h.store.writtenKeys("BTC");
    auto count = [&](std::string_view key) { return std::count(written.begin(), written.end(), key); };
    // The main settings stayed open under both crypto sections; each crypto window closed
    // by its close box, so the typed name was never saved.
    EXPECT_EQ(count("MAIN_SETTINGS-Left"), 1);
    EXPECT_EQ(count("CRYPTO_SETTINGS-Left"), 2);
    EXPECT_EQ(h.stored("CRYPTO_NAME_TEXTBOX"), "<unset>");
    EXPECT_EQ(h.stored("HEARTBEAT_COUNTDOWN_TIME_TEXTBOX"), "00:00:30");
}

TEST(SetupScript, StopsAtTheFirstLineItCannotApply) {
    struct Case {
        const char* text;
        int line;
        const char* says;
    };
    for (auto c : {
             Case{"[PACEDECK_NOWHERE]\n", 1, "unknown window"},
             Case{"[PACEDECK_MAIN]\nNO_SUCH_TEXTBOX = 1\n", 2, "has no element NO_SUCH_TEXTBOX"},
             Case{"[PACEDECK_MAIN]\npress = NO_SUCH_BUTTON\n", 2, "has no button"},
             Case{"[PACEDECK_MAIN]\nRUN_QT_TICKBOX = yes\n", 2, "0 or 1"},
             Case{"[PACEDECK_MAIN]\nRUN_QT_TICKBOX = 1\nRUN_DAEMON_TICKBOX = 1\n", 3, "greyed"},
             Case{"[PACEDECK_MAIN]\nPACEDECK_HOME_TEXTBOX = /x\n", 2, "greyed or locked"},
             Case{"[PACEDECK_MAIN]\nEXIT_BUTTON = 1\n", 2, "press = EXIT_BUTTON"},
             Case{"[PACEDECK_MAIN]\npress = RUN_QT_TICKBOX\n", 2, "not a button"},
             // No home folder yet: CRYPTO SETTINGS is greyed, so the window cannot be reached.
             Case{"[PACEDECK_CRYPTO_SETTINGS]\n", 1,
                  "CRYPTO_SETTINGS_BUTTON of PACEDECK_MAIN_SETTINGS is greyed"},
             Case{"[PACEDECK_MAIN_SETTINGS]\npress = OK_BUTTON\nUSE_OWN_CONF_TICKBOX = 1\n", 3, "closed"},
             Case{"[PACEDECK_MAIN]\npress = EXIT_BUTTON\n[PACEDECK_MAIN_SETTINGS]\n", 3,
                  "main window has been closed"},
             // Values a field cannot keep: a time that is no time, a second line, a NUL.
             Case{"[PACEDECK_MAIN]\nUSER_COUNT_TIME_TEXTBOX = 5 seconds\n", 2,
                  "USER_COUNT_TIME_TEXTBOX holds a time such as 00:05:00, not \"5 seconds\""},
             Case{"[PACEDECK_MAIN_SETTINGS]\nHEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 90\n", 2, "holds a time"},
             Case{"[PACEDECK_SCHEDULER_WINDOW]\nTASK_RUN_TIME_TEXTBOX = noon\n", 2, "such as 00:00"},
             Case{"[PACEDECK_MAIN_SETTINGS]\nPACEDECK_HOME_TEXTBOX = \"/pd\\nrm -rf /\"\n", 2,
                  "PACEDECK_HOME_TEXTBOX takes one line: the value is refused because it holds a line break"},
             Case{"[PACEDECK_MAIN_SETTINGS]\nPACEDECK_HOME_TEXTBOX = \"/pd\\r\"\n", 2, "line break"},
         }) {
        Harness h("BTC");
        auto script = parseSetupScript(c.text);
        ASSERT_FALSE(script.error) << c.text;
        setup::SetupDriver driver(h.app);
        auto error = driver.run(script.lines);
        ASSERT_TRUE(error) << c.text;
        EXPECT_EQ(error->line, c.line) << c.text;
        EXPECT_NE(error->message.find(c.says), std::string::npos) << error->message;
    }
}

TEST(SetupScript, AFailedSaveStopsTheFileAndKeepsWhatWasStored) {
    Harness h("BTC");
    h.put("PACEDECK_HOME_TEXTBOX", "/pd");
    h.platform.folders = {"/pd"};  // no BATS
    auto script = parseSetupScript(
        "[PACEDECK_CRYPTO_SETTINGS]\n"
        "CRYPTO_NAME_TEXTBOX = Kept\n"
        "press = SAVE_BUTTON\n"
        "QT_NAME_TEXTBOX = never\n");
    setup::SetupDriver driver(h.app);
    auto error = driver.run(script.lines);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 3);
    EXPECT_NE(error->message.find("NODE SCRIPTS NOT WRITTEN"), std::string::npos) << error->message;
    EXPECT_EQ(h.stored("CRYPTO_NAME_TEXTBOX"), "Kept");
    EXPECT_EQ(h.stored("QT_NAME_TEXTBOX"), "");
    EXPECT_EQ(h.stored("SW_QT_COMMAND_TEXTBOX"), "<unset>");
}

TEST(SetupScript, ReachesTheEmailConfGeneratorAndPowerWindows) {
    Applied a(
        "[PACEDECK_MAIN_SETTINGS]\n"
        "PACEDECK_HOME_TEXTBOX = /pd\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_EMAIL_SHARED_SETTINGS]\n"
        "SMTP_SERVER_ADDRESS_PORT_TEXTBOX = 127.0.0.1:2525\n"
        "SEND_TO_ADDRESS_TEXTBOX = me@example.org\n"
        "press = USE_THESE_SHARED_SETTINGS_BUTTON\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_EMAIL_MAIN_SETTINGS]\n"
        "REPORT_AS_ATTACHMENT_TICKBOX = 1\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_CONF_GENERATOR_IDS]\n"
        "IMPORT_SETTINGS_TICKBOX = 1\n"
        "press = BASIC_SETTINGS_BUTTON\n"
        "press = BTC_IMPORT_BUTTON\n"
        "[PACEDECK_CONF_GENERATOR_TEST_RPC]\n"
        "press = TEST_CFG_3_BUTTON\n"
        "press = USE_CURRENT_CREDENTIALS_BUTTON\n"
        "[PACEDECK_CONF_GENERATOR_MAIN]\n"
        "RPC_PORT_TEXTBOX = 18443\n"
        "press = SAVE_BUTTON\n"
        "[PACEDECK_POWER_AUTOTIMER_SETTINGS]\n"
        "HIBERNATE_TICKBOX = 1\n"
        "CLOSE_REQUEST_COUNTDOWN_TEXTBOX = 00:02:00\n"
        "press = OK_BUTTON\n");
    ASSERT_FALSE(a.error) << a.error->line << ": " << a.error->message;

    // The shared account, copied into this copy's e-mail settings, made its scripts.
    EXPECT_EQ(a.h.store.read(std::string(SettingsStore::sharedEmailSection),
                             "SMTP_SERVER_ADDRESS_PORT_TEXTBOX", ""),
              "127.0.0.1:2525");
    EXPECT_EQ(a.h.stored("SMTP_SERVER_ADDRESS_PORT_TEXTBOX"), "127.0.0.1:2525");
    EXPECT_EQ(a.h.stored("REPORT_AS_ATTACHMENT_TICKBOX"), "1");
    const auto& start = a.h.platform.files["/pd/BATS/BTC-START-EMAIL.sh"];
    EXPECT_NE(start.find(" -t \"me@example.org\" "), std::string::npos) << start;
    EXPECT_NE(start.find(" -s \"127.0.0.1:2525\" "), std::string::npos) << start;
    const auto& end = a.h.platform.files["/pd/BATS/BTC-END-REPORT-EMAIL.sh"];
    EXPECT_NE(end.find("-a \"/pd/REPORTS/BTC-END-REPORT.LOG\""), std::string::npos) << end;

    // The presets and the test credentials reached the generator, and SAVE wrote the file.
    const auto& conf = a.h.platform.files["/pd/CONFIGS/BTC-CRYPTO-CONFIG.conf"];
    EXPECT_NE(conf.find("rpcport=18443"), std::string::npos) << conf;
    EXPECT_NE(conf.find("rpcuser="), std::string::npos) << conf;
    EXPECT_NE(conf.find("server=1"), std::string::npos) << conf;

    EXPECT_EQ(a.h.stored("AUTOTIMER_ACTION_TEXTBOX"), "HIBERNATE PC");
    EXPECT_EQ(a.h.stored("CLOSE_REQUEST_COUNTDOWN_TEXTBOX"), "00:02:00");
    EXPECT_TRUE(a.h.app.openWindows().empty());
}

TEST(SetupScript, RefusesANulInAOneLineValue) {
    // A NUL cannot be written in a file line by the escapes: it reaches the tool only raw.
    Harness h("BTC");
    std::vector<SetupLine> lines = {
        {SetupLine::Kind::Section, 1, "PACEDECK_MAIN_SETTINGS", ""},
        {SetupLine::Kind::Set, 2, "PACEDECK_HOME_TEXTBOX", std::string("/pd\0/x", 6)}};
    setup::SetupDriver driver(h.app);
    auto error = driver.run(lines);
    ASSERT_TRUE(error);
    EXPECT_NE(error->message.find("it holds a NUL character"), std::string::npos) << error->message;
}

TEST(SetupScript, AFileThatCannotBeAppliedWholeChangesNothing) {
    // Each file stores, writes and creates things before the line that fails.
    const std::string good =
        "[PACEDECK_MAIN_SETTINGS]\n"
        "PACEDECK_HOME_TEXTBOX = /pd\n"
        "press = CREATE_FOLDERS_BUTTON\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_CRYPTO_SETTINGS]\n"
        "CRYPTO_NAME_TEXTBOX = Kept\n"
        "press = SAVE_BUTTON\n"
        "[PACEDECK_MAIN]\n"
        "RUN_DAEMON_TICKBOX = 1\n";
    struct Case {
        std::string tail;
        int line;
        const char* says;
    };
    for (const auto& c : {
             Case{"NO_SUCH_TICKBOX = 1\n", 10, "has no element NO_SUCH_TICKBOX"},
             Case{"USER_COUNT_TIME_TEXTBOX = 5 seconds\n", 10, "holds a time"},
             Case{"[PACEDECK_NOWHERE]\n", 10, "unknown window"},
             Case{"RUN_QT_TICKBOX = 1\n", 10, "greyed"},
             Case{"[PACEDECK_EMAIL_SHARED_SETTINGS]\nSEND_TO_ADDRESS_TEXTBOX = \"a\\nb\"\n", 11,
                  "line break"},
             Case{"[PACEDECK_MAIN_SETTINGS]\nPACEDECK_HOME_TEXTBOX = /elsewhere\npress = OK_BUTTON\n"
                  "[PACEDECK_CRYPTO_SETTINGS]\npress = SAVE_BUTTON\n",
                  14, "NODE SCRIPTS NOT WRITTEN"},
         }) {
        Applied r(good + c.tail, Applied::Way::Rehearsed);
        ASSERT_TRUE(r.error) << c.tail;
        EXPECT_EQ(r.error->line, c.line) << c.tail;
        EXPECT_NE(r.error->message.find(c.says), std::string::npos) << r.error->message;
        EXPECT_TRUE(r.changedNothing()) << c.tail;
    }

    // The same file without its bad tail is applied for real, after its rehearsal.
    Applied applied(good, Applied::Way::Rehearsed);
    ASSERT_FALSE(applied.error) << applied.error->line << ": " << applied.error->message;
    EXPECT_EQ(applied.h.stored("CRYPTO_NAME_TEXTBOX"), "Kept");
    EXPECT_TRUE(applied.h.platform.folders.contains("/pd/CONFIGS"));
    EXPECT_TRUE(applied.h.platform.files.contains("/pd/BATS/BTC-RUN-DAEMON.sh"));
}

TEST(SetupScript, KeepsTheMainWindowChoicesOfAFileWithoutExit) {
    Applied a(
        "[PACEDECK_MAIN]\n"
        "RUN_DAEMON_TICKBOX = 1\n"
        "ALWAYS_ON_TOP_TICKBOX = 0\n"
        "TASK_11_ENABLE_TICKBOX = 1\n"
        "USER_COUNT_TIME_TEXTBOX = 00:00:07\n");
    ASSERT_FALSE(a.error) << a.error->message;
    for (auto [key, value] :
         {std::pair{"RUN_DAEMON_TICKBOX", "1"}, std::pair{"RUN_QT_TICKBOX", "0"},
          std::pair{"ALWAYS_ON_TOP_TICKBOX", "0"}, std::pair{"TASK_11_ENABLE_TICKBOX", "1"},
          std::pair{"USER_COUNT_TIME_TEXTBOX", "00:00:07"}, std::pair{"RUN_QT_OR_D_TEXTBOX", "DAEMON"}})
        EXPECT_EQ(a.h.stored(key), value) << key;
    // No exit was stamped, and no window position of EXIT was written.
    EXPECT_EQ(a.h.stored("MULTILOADER_LAST_RUN_TEXTBOX"), "<unset>");
    EXPECT_EQ(a.h.stored("DESKTOP-Left"), "<unset>");

    // A file that never touches the main window writes none of its choices.
    Applied other(
        "[PACEDECK_MAIN_SETTINGS]\nHEARTBEAT_COUNTDOWN_TIME_TEXTBOX = 00:00:30\npress = OK_BUTTON\n");
    ASSERT_FALSE(other.error) << other.error->message;
    EXPECT_EQ(other.h.stored("RUN_DAEMON_TICKBOX"), "<unset>");
}

TEST(SetupScript, ReachesTheSchedulerAndTheBlockTimes) {
    Applied a(
        "[PACEDECK_SCHEDULER_WINDOW]\n"
        "TASK_RUN_TIME_TEXTBOX = 04:30\n"
        "FRI_TICKBOX = 1\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_BLOCK_TIMES_WINDOW]\n"
        "press = REC_USE_LTC_TIME_BUTTON\n");
    ASSERT_FALSE(a.error) << a.error->line << ": " << a.error->message;
    // The scheduler's OK stored its choice; the preset button set the main window's time.
    for (auto [key, value] :
         {std::pair{"TASK_RUN_TIME_TEXTBOX", "04:30"}, std::pair{"FRI_TICKBOX", "1"},
          std::pair{"MON_TICKBOX", "0"}, std::pair{"USER_COUNT_TIME_TEXTBOX", "00:00:30"}})
        EXPECT_EQ(a.h.stored(key), value) << key;
}

TEST(SetupScript, HelpListsEveryReachableWindowWithItsElements) {
    FakePlatform platform;
    const auto help = setup::setupHelp(platform, posixProfile("/home/tester"));
    EXPECT_NE(help.find("Example:"), std::string::npos);
    EXPECT_NE(help.find("\n  [PACEDECK_MAIN]  \"PACEDECK"), std::string::npos);
    for (const auto& row : setup::openers())
        EXPECT_NE(help.find("\n  [" + std::string(row.window) + "]  \""), std::string::npos) << row.window;
    // Names come from the windows: settable ones only, times marked.
    auto listed = [&](const std::string& name) {
        return help.find(" " + name + " ") != std::string::npos ||
               help.find(" " + name + "\n") != std::string::npos;
    };
    for (auto name :
         {"TASK_RUN_TIME_TEXTBOX (time)", "USER_COUNT_TIME_TEXTBOX (time)", "SELECT_ALL_DAYS_TICKBOX",
          "CREATE_TASK_BUTTON", "PACEDECK_HOME_TEXTBOX", "TEST_CFG_3_BUTTON", "EXIT_BUTTON",
          "CONF_FILE_LOCATION_TEXTBOX (ticks USE_OWN_CONF_TICKBOX)"})
        EXPECT_TRUE(listed(name)) << name;
    for (auto hidden : {"MON_TEXTBOX", "TASK_NAME_TEXTBOX", "SAVE_TASK_BUTTON"})
        EXPECT_FALSE(listed(hidden)) << hidden;
    // Looking at the windows changed nothing on the system.
    EXPECT_TRUE(platform.files.empty());
    EXPECT_TRUE(platform.launches.empty());
}

TEST(SetupScript, CreatesTheWeeklyTaskOnlyWhenItsCommandSucceedsAndNamesTheLineWhenNot) {
    struct Case {
        const char* what;
        std::function<void(Harness&)> arrange;
        std::string error;  // empty: the task is made
    };
    const std::vector<Case> cases = {
        {"made", [](Harness&) {}, ""},
        {"the program is missing", [](Harness& h) { h.platform.files.erase("/pd/BTC"); },
         "PACEDECK_SCHEDULER_WINDOW says: !!! NO TASK CREATED - THE PROGRAM /pd/BTC DOES NOT EXIST !!!"},
        {"crontab refuses it",
         [](Harness& h) {
             h.platform.commandResults["crontab -"] = {true, 1, "crontab: installing new crontab failed"};
         },
         "!!! THE COMMAND FAILED (EXIT STATUS 1): crontab: installing new crontab failed !!!"},
        {"DISPLAY holds a line break",
         [](Harness& h) { h.platform.env["DISPLAY"] = ":0\n* * * * * rm -rf ~"; },
         "!!! NO TASK CREATED - DISPLAY CANNOT BE USED: it holds a line break !!!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Applied a(
            "[PACEDECK_MAIN_SETTINGS]\n"
            "PACEDECK_HOME_TEXTBOX = /pd\n"
            "press = OK_BUTTON\n"
            "[PACEDECK_SCHEDULER_WINDOW]\n"
            "TASK_RUN_TIME_TEXTBOX = 04:30\n"
            "MON_TICKBOX = 1\n"
            "press = CREATE_TASK_BUTTON\n",
            Applied::Way::Rehearsed, [&](Harness& h) {
                h.platform.files["/pd/BTC"] = "the program";
                c.arrange(h);
            });
        if (c.error.empty()) {
            ASSERT_FALSE(a.error) << a.error->line << ": " << a.error->message;
            EXPECT_EQ(a.h.stored("TASK_STATUS_TEXTBOX"), "TASK-CREATED");
            continue;
        }
        ASSERT_TRUE(a.error);
        EXPECT_EQ(a.error->line, 7);
        EXPECT_NE(a.error->message.find(c.error), std::string::npos) << a.error->message;
        EXPECT_NE(a.h.stored("TASK_STATUS_TEXTBOX"), "TASK-CREATED");
    }
}

TEST(SetupScript, SetsTheOwnConfFileWhereTheUserDoesAndSaysWhereWhenAskedElsewhere) {
    // Typing the path ticks "USE OWN .CONF FILE" first, as a user does before typing it.
    Applied own(
        "[PACEDECK_MAIN_SETTINGS]\n"
        "PACEDECK_HOME_TEXTBOX = /pd\n"
        "CONF_FILE_LOCATION_TEXTBOX = /own/node.conf\n"
        "press = OK_BUTTON\n"
        "[PACEDECK_CRYPTO_SETTINGS]\n"
        "press = SAVE_BUTTON\n",
        Applied::Way::Rehearsed);
    ASSERT_FALSE(own.error) << own.error->line << ": " << own.error->message;
    EXPECT_EQ(own.h.stored("USE_OWN_CONF_TICKBOX"), "1");
    EXPECT_EQ(own.h.stored("CONF_FILE_LOCATION_TEXTBOX"), "/own/node.conf");
    EXPECT_NE(own.h.stored("SW_D_COMMAND_TEXTBOX").find(" -conf=/own/node.conf "), std::string::npos)
        << own.h.stored("SW_D_COMMAND_TEXTBOX");

    // The crypto settings only show a copy of it.
    Applied there("[PACEDECK_CRYPTO_SETTINGS]\nCONF_FILE_LOCATION_TEXTBOX = /own/node.conf\n",
                  Applied::Way::Driver, [](Harness& h) { h.put("PACEDECK_HOME_TEXTBOX", "/pd"); });
    ASSERT_TRUE(there.error);
    EXPECT_EQ(there.error->line, 2);
    EXPECT_NE(there.error->message.find("it is set in PACEDECK_MAIN_SETTINGS"), std::string::npos)
        << there.error->message;
}

}  // namespace pd::test
