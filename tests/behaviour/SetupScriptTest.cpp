#include <gtest/gtest.h>

#include <algorithm>

#include "Harness.hpp"
#include "app/setup/SetupDriver.hpp"
#include "app/setup/SetupScript.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

using setup::parseSetupScript;
using setup::SetupLine;

namespace {

// Applies a set-up text to a fresh copy on the fake platform; the error, if any.
struct Applied {
    explicit Applied(std::string_view text, std::string exe = "BTC") : h(std::move(exe)) {
        h.platform.folders = {"/", "/pd", "/pd/BATS"};
        auto script = parseSetupScript(text);
        EXPECT_FALSE(script.error) << script.error->message;
        setup::SetupDriver driver(h.app);
        error = driver.run(script.lines);
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

}  // namespace pd::test
