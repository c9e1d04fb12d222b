#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Harness.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/EmailSharedSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

namespace {

class RecordingDialogs final : public Dialogs {
  public:
    std::optional<std::string> folder;
    std::vector<std::string> browseTitles;
    std::vector<std::string> messages;
    std::optional<std::string> browseFolder(Window&, const std::string& title, const std::string&) override {
        browseTitles.push_back(title);
        return folder;
    }
    std::optional<std::string> openFile(Window&, const std::string&, const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    void message(Window&, const std::string&, const std::string& text) override { messages.push_back(text); }
};

const std::string home = "C:\\SYNCWARD-ROOT\\PACEDECK";

struct EmailHarness : Harness {
    EmailHarness() : Harness("DEMO", windowsProfile()) {
        put("PACEDECK_HOME_TEXTBOX", home);
        put("CRYPTO_NAME_TEXTBOX", "BTC");
        put("ALWAYS_ON_TOP_TICKBOX", "0");
        platform.folders = {home, home + "\\BATS"};
        app.setDialogs(dialogs);
    }
    EmailSettingsWindow& open() {
        if (!app.running()) start();
        return app.open<EmailSettingsWindow>(&main());
    }
    std::string startScript() { return home + "\\BATS\\DEMO-START-EMAIL.bat"; }
    std::string endScript() { return home + "\\BATS\\DEMO-END-REPORT-EMAIL.bat"; }
    RecordingDialogs dialogs;
};

struct TlsState {
    int no, yes, autoTls;
    bool noUsable, yesUsable, autoUsable;
    std::string choice;
    bool operator==(const TlsState&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TlsState& s) {
    return os << "ticks " << s.no << s.yes << s.autoTls << " usable " << s.noUsable << s.yesUsable
              << s.autoUsable << " choice " << s.choice;
}

TlsState tlsOf(EmailSettingsWindow& e) {
    return {e.TLS_NO_TICKBOX.value(),   e.TLS_YES_TICKBOX.value(),   e.TLS_AUTO_TICKBOX.value(),
            e.TLS_NO_TICKBOX.enabled(), e.TLS_YES_TICKBOX.enabled(), e.TLS_AUTO_TICKBOX.enabled(),
            e.TLS_TB_SETTING.text()};
}

void fillAccount(EmailSettingsWindow& e) {
    e.SE_HOME_TEXTBOX.type("C:\\SYNCWARD-ROOT\\SendEmail");
    e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("smtp.example.org:25");
    e.SMTP_USERNAME_TEXTBOX.type("node");
    e.SMTP_PASSWORD_TEXTBOX.type("pw");
    e.SEND_FROM_ADDRESS_TEXTBOX.type("node@example.org");
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
}

}  // namespace

TEST(EmailSettings, FirstOpeningShowsEmptyFieldsNoTicksAndTheBareStartCommand) {
    EmailHarness h;
    auto& e = h.open();
    EXPECT_EQ(e.caption(), "PACEDECK - EMAIL MAIN SETTINGS");
    EXPECT_EQ(e.geometry().width, 9915);
    EXPECT_EQ(e.geometry().height, 5385);
    for (auto* field : e.accountFields()) EXPECT_EQ(field->text(), "") << field->name();
    EXPECT_EQ(tlsOf(e), (TlsState{1, 0, 0, true, false, false, "no"}));
    EXPECT_FALSE(e.REPORT_AS_ATTACHMENT_TICKBOX.ticked());
    EXPECT_TRUE(e.SMTP_PASSWORD_TEXTBOX.password());
    EXPECT_EQ(e.REGENERATE_COMMANDS_TIMER.interval(), 500);
    h.advance(500);
    EXPECT_EQ(
        e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text(),
        "call \"\\SendEmail.exe\" -f \"\" -t \"\" -cc \"\" -bcc \"\" -u \"PACEDECK - BTC - STARTED\" "
        "-m \"PACEDECK - BTC - STARTED\" -s \"\" -xu \"\" -xp \"\" -o reply-to= "
        "-l \"C:\\SYNCWARD-ROOT\\PACEDECK\\LOGS\\DEMO-SEND-EMAIL.LOG\" -o tls=no -o username= -o password= "
        "-q -v ");
    EXPECT_EQ(e.START_EMAIL_SUBJECT_TEXTBOX.text(), "PACEDECK - BTC - STARTED");
    EXPECT_EQ(e.END_EMAIL_SUBJECT_TEXTBOX.text(), "PACEDECK - BTC - COMPLETED - LOG REPORT");
    EXPECT_EQ(e.MESSAGE_COMMAND_TB.text(),
              " -o message-file=\"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\DEMO-END-REPORT.LOG\"");
    // The main window takes the commands at OK only.
    EXPECT_EQ(h.main().EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text(), "");
    EXPECT_EQ(h.main().EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text(), "");
}

TEST(EmailSettings, TlsTickboxesFollowTheirRules) {
    EmailHarness h;
    auto& e = h.open();
    // "no" ticked greys the others: the user must clear "no" first.
    EXPECT_FALSE(e.TLS_YES_TICKBOX.click());
    ASSERT_TRUE(e.TLS_NO_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{0, 0, 0, true, true, true, "no"}));
    ASSERT_TRUE(e.TLS_YES_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{0, 1, 0, false, true, false, "yes"}));
    ASSERT_TRUE(e.TLS_YES_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{1, 0, 0, true, false, false, "no"}));
    ASSERT_TRUE(e.TLS_NO_TICKBOX.click());
    ASSERT_TRUE(e.TLS_AUTO_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{0, 0, 1, false, false, true, "auto"}));
    ASSERT_TRUE(e.TLS_AUTO_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{1, 0, 0, true, false, false, "no"}));
    ASSERT_TRUE(e.TLS_NO_TICKBOX.click());
    ASSERT_TRUE(e.TLS_NO_TICKBOX.click());
    EXPECT_EQ(tlsOf(e), (TlsState{1, 0, 0, true, false, false, "no"}));
}

TEST(EmailSettings, ClearingNoLeavesNothingTickedAndTheCommandsSayNo) {
    EmailHarness h;
    auto& e = h.open();
    ASSERT_TRUE(e.TLS_NO_TICKBOX.click());
    h.advance(500);
    EXPECT_NE(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find(" -o tls=no "), std::string::npos);
    EXPECT_NE(e.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text().find(" -o tls=no "), std::string::npos);
}

TEST(EmailSettings, YesSavedShowsAgainAtTheNextOpening) {
    EmailHarness h;
    {
        auto& e = h.open();
        e.TLS_NO_TICKBOX.click();
        e.TLS_YES_TICKBOX.click();
        e.OK_BUTTON.click();
        h.advance(0);
    }
    EXPECT_EQ(h.stored("TLS_NO_TICKBOX"), "0");
    EXPECT_EQ(h.stored("TLS_YES_TICKBOX"), "1");
    auto& e = h.open();
    EXPECT_EQ(tlsOf(e), (TlsState{0, 1, 0, false, true, false, "yes"}));
    h.advance(500);
    EXPECT_NE(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find(" -o tls=yes "), std::string::npos);
    EXPECT_NE(e.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text().find(" -o tls=yes "), std::string::npos);
}

TEST(EmailSettings, OnlyTheEndCommandCarriesTheAttachmentWithTheSyncChartWhenSyncCheckIsTicked) {
    const std::string report = "-a \"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\DEMO-END-REPORT.LOG\"";
    const std::string chart = " \"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\DEMO-SYNC-CHART.svg\"";
    // Never saved counts as ticked.
    for (const auto& [syncCheck, attach] : {std::pair<const char*, std::string>{"0", report},
                                            {"1", report + chart},
                                            {nullptr, report + chart}}) {
        EmailHarness h;
        if (syncCheck) h.put("SYNC_CHECK_TICKBOX", syncCheck);
        auto& e = h.open();
        ASSERT_TRUE(e.REPORT_AS_ATTACHMENT_TICKBOX.click());
        h.advance(500);
        EXPECT_EQ(e.ATTACHMENT_COMMAND_TB.text(), attach);
        EXPECT_TRUE(e.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text().ends_with("-q -v " + attach));
        EXPECT_EQ(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find("-a "), std::string::npos);
    }
}

TEST(EmailSettings, CommandsAreRebuiltEveryHalfSecondFromTheFieldsBeingEdited) {
    EmailHarness h;
    auto& e = h.open();
    h.advance(600);
    e.SEND_TO_ADDRESS_TEXTBOX.type("me@example.org");
    h.advance(399);
    EXPECT_EQ(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find("me@example.org"), std::string::npos);
    h.advance(1);
    EXPECT_NE(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find("-t \"me@example.org\""), std::string::npos);
    // The crypto name is read at every rebuild; the files lie under the home folder being
    // edited in the main settings window, even before its OK.
    h.main().CRYPTO_NAME_TEXTBOX.setText("LTC");
    auto& settings = h.app.open<MainSettingsWindow>(&h.main());
    ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type("D:\\NEW"));
    h.advance(500);
    EXPECT_NE(e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text().find("-u \"PACEDECK - LTC - STARTED\""),
              std::string::npos);
    EXPECT_NE(e.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text().find(
                  "message-file=\"D:\\NEW\\REPORTS\\DEMO-END-REPORT.LOG\""),
              std::string::npos);
    EXPECT_NE(e.EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text().find("-l \"D:\\NEW\\LOGS\\DEMO-SEND-EMAIL.LOG\""),
              std::string::npos);
}

TEST(EmailSettings, CancelStoresNothingButThePositionAndTheMainWindowKeepsItsCommands) {
    EmailHarness h;
    h.put("EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "call old-start");
    auto& e = h.open();
    e.SE_HOME_TEXTBOX.type("C:\\MAIL");
    e.SMTP_PASSWORD_TEXTBOX.type("secret");
    h.advance(500);
    h.store.clearLog();
    e.CANCEL_BUTTON.click();
    EXPECT_EQ(h.store.writtenKeys("DEMO"),
              (std::vector<std::string>{"EMAIL-MAIN-SETTINGS-Left", "EMAIL-MAIN-SETTINGS-Top"}));
    EXPECT_EQ(h.main().SE_HOME_TEXTBOX.text(), "");
    EXPECT_EQ(h.main().EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text(), "call old-start");
    EXPECT_FALSE(h.platform.files.contains(h.startScript()));
    h.advance(5000);
    EXPECT_EQ(h.app.find<EmailSettingsWindow>(), nullptr);
    // Leaving the program keeps the commands of the last OK, not the cancelled edits.
    ASSERT_TRUE(h.main().EXIT_BUTTON.click());
    EXPECT_EQ(h.stored("EMAIL_OUTPUT_START_COMMAND_TEXTBOX"), "call old-start");
    EXPECT_EQ(h.stored("EMAIL_OUTPUT_END_COMMAND_TEXTBOX"), "");
}

TEST(EmailSettings, OkStoresInOrderCopiesTheCommandsAndWritesBothScripts) {
    EmailHarness h;
    auto& e = h.open();
    fillAccount(e);
    ASSERT_TRUE(e.REPORT_AS_ATTACHMENT_TICKBOX.click());
    h.store.clearLog();
    // Pressed before the first rebuild: OK keeps what the fields say.
    ASSERT_TRUE(e.OK_BUTTON.click());
    EXPECT_EQ(h.store.writtenKeys("DEMO"),
              (std::vector<std::string>{
                  "EMAIL-MAIN-SETTINGS-Left", "EMAIL-MAIN-SETTINGS-Top", "SE_HOME_TEXTBOX",
                  "SMTP_SERVER_ADDRESS_PORT_TEXTBOX", "SMTP_USERNAME_TEXTBOX", "SMTP_PASSWORD_TEXTBOX",
                  "SEND_FROM_ADDRESS_TEXTBOX", "SEND_TO_ADDRESS_TEXTBOX", "SEND_CC_ADDRESS_TEXTBOX",
                  "SEND_BCC_ADDRESS_TEXTBOX", "TLS_NO_TICKBOX", "TLS_YES_TICKBOX", "TLS_AUTO_TICKBOX",
                  "EMAIL_OUTPUT_START_COMMAND_TEXTBOX", "EMAIL_OUTPUT_END_COMMAND_TEXTBOX",
                  "EMAIL_OUTPUT_ALERT_COMMAND_TEXTBOX", "REPORT_AS_ATTACHMENT_TICKBOX"}));
    EXPECT_EQ(h.stored("SMTP_PASSWORD_TEXTBOX"), "pw");
    EXPECT_EQ(h.stored("REPORT_AS_ATTACHMENT_TICKBOX"), "1");
    const auto start = h.stored("EMAIL_OUTPUT_START_COMMAND_TEXTBOX");
    const auto end = h.stored("EMAIL_OUTPUT_END_COMMAND_TEXTBOX");
    EXPECT_TRUE(
        start.starts_with("call \"C:\\SYNCWARD-ROOT\\SendEmail\\SendEmail.exe\" -f \"node@example.org\""));
    // A new copy's SYNC CHECK is ticked: the chart goes with the report.
    EXPECT_TRUE(
        end.ends_with("-a \"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\DEMO-END-REPORT.LOG\" "
                      "\"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\DEMO-SYNC-CHART.svg\""));
    EXPECT_EQ(h.main().EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text(), start);
    EXPECT_EQ(h.main().EMAIL_OUTPUT_END_COMMAND_TEXTBOX.text(), end);
    EXPECT_EQ(h.platform.files.at(h.startScript()), start + "\r\n");
    EXPECT_EQ(h.platform.files.at(h.endScript()), end + "\r\n");
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(h.app.find<EmailSettingsWindow>(), nullptr);
}

TEST(EmailSettings, ScriptsThatCannotBeWrittenAreReportedNotPassedOver) {
    EmailHarness h;
    h.platform.folders = {home};  // no BATS folder yet
    auto& e = h.open();
    fillAccount(e);
    ASSERT_TRUE(e.OK_BUTTON.click());
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_NE(h.dialogs.messages[0].find(h.startScript()), std::string::npos);
    EXPECT_NE(h.dialogs.messages[0].find(h.endScript()), std::string::npos);
    EXPECT_TRUE(h.platform.files.empty());
    // The settings themselves are kept.
    EXPECT_EQ(h.stored("SEND_TO_ADDRESS_TEXTBOX"), "me@example.org");
}

TEST(EmailSettings, ShowPasswordUnmasksAndEachOpeningStartsMasked) {
    EmailHarness h;
    {
        auto& e = h.open();
        ASSERT_TRUE(e.SHOW_PASSWORD_TICKBOX.click());
        EXPECT_FALSE(e.SMTP_PASSWORD_TEXTBOX.password());
        ASSERT_TRUE(e.SHOW_PASSWORD_TICKBOX.click());
        EXPECT_TRUE(e.SMTP_PASSWORD_TEXTBOX.password());
        e.SHOW_PASSWORD_TICKBOX.click();
        e.OK_BUTTON.click();
    }
    EXPECT_EQ(h.stored("SHOW_PASSWORD_TICKBOX"), "<unset>");
    auto& e = h.open();
    EXPECT_FALSE(e.SHOW_PASSWORD_TICKBOX.ticked());
    EXPECT_TRUE(e.SMTP_PASSWORD_TEXTBOX.password());
}

TEST(EmailSettings, UseAndBrowseFillTheMailerFolder) {
    EmailHarness h;
    auto& e = h.open();
    ASSERT_TRUE(e.USE_BUTTON.click());
    EXPECT_EQ(e.SE_HOME_TEXTBOX.text(), "C:\\SYNCWARD-ROOT\\SendEmail");
    h.dialogs.folder = std::nullopt;
    e.BROWSE_SE_HOME_FOLDER_BUTTON.click();
    EXPECT_EQ(e.SE_HOME_TEXTBOX.text(), "C:\\SYNCWARD-ROOT\\SendEmail");
    h.dialogs.folder = "D:\\TOOLS\\MAIL";
    e.BROWSE_SE_HOME_FOLDER_BUTTON.click();
    EXPECT_EQ(e.SE_HOME_TEXTBOX.text(), "D:\\TOOLS\\MAIL");
    EXPECT_EQ(h.dialogs.browseTitles.at(0), "HOME FOLDER - SendEmail.exe");
}

TEST(EmailSharedSettings, UseTheseSharedSettingsFillsTheCopysWindowWithoutStoring) {
    EmailHarness h;
    const auto shared = SettingsStore::sharedEmailSection;
    h.store.write(shared, "SE_HOME_TEXTBOX", "C:\\SHARED\\SendEmail");
    h.store.write(shared, "SMTP_SERVER_ADDRESS_PORT_TEXTBOX", "mail.example.org:25");
    h.store.write(shared, "SMTP_PASSWORD_TEXTBOX", "shared pw");
    h.store.write(shared, "SEND_TO_ADDRESS_TEXTBOX", "family@example.org");
    h.store.write(shared, "TLS_NO_TICKBOX", "0");
    h.store.write(shared, "TLS_AUTO_TICKBOX", "1");
    auto& e = h.open();
    ASSERT_TRUE(e.SHARED_SETTINGS_BUTTON.click());
    auto* s = h.app.find<EmailSharedSettingsWindow>();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->caption(), "PACEDECK - EMAIL SHARED SETTINGS");
    EXPECT_EQ(s->SMTP_PASSWORD_TEXTBOX.text(), "shared pw");
    EXPECT_TRUE(s->SMTP_PASSWORD_TEXTBOX.password());
    EXPECT_EQ(s->TLS_AUTO_TICKBOX.value(), 1);
    EXPECT_FALSE(s->TLS_NO_TICKBOX.enabled());
    EXPECT_FALSE(s->TLS_YES_TICKBOX.enabled());

    h.store.clearLog();
    ASSERT_TRUE(s->USE_THESE_SHARED_SETTINGS_BUTTON.click());
    EXPECT_EQ(e.SE_HOME_TEXTBOX.text(), "C:\\SHARED\\SendEmail");
    EXPECT_EQ(e.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.text(), "mail.example.org:25");
    EXPECT_EQ(e.SEND_TO_ADDRESS_TEXTBOX.text(), "family@example.org");
    EXPECT_EQ(tlsOf(e), (TlsState{0, 0, 1, false, false, true, "auto"}));
    EXPECT_TRUE(h.store.writtenKeys("DEMO").empty());
    EXPECT_NE(h.app.find<EmailSharedSettingsWindow>(), nullptr);
    h.advance(500);
    const auto& cmd = e.EMAIL_OUTPUT_START_COMMAND_TEXTBOX.text();
    EXPECT_TRUE(
        cmd.starts_with("call \"C:\\SHARED\\SendEmail\\SendEmail.exe\" -f \"\" -t \"family@example.org\""));
    EXPECT_NE(cmd.find(" -o tls=auto "), std::string::npos);
    EXPECT_NE(cmd.find(" -o password=\"shared pw\" "), std::string::npos);
    EXPECT_EQ(h.stored("EMAIL_OUTPUT_START_COMMAND_TEXTBOX"), "<unset>");
}

TEST(EmailSharedSettings, OkStoresTheAccountInTheSharedSectionAndThePositionInTheCopys) {
    EmailHarness h;
    auto& e = h.open();
    e.SHARED_SETTINGS_BUTTON.click();
    auto* s = h.app.find<EmailSharedSettingsWindow>();
    ASSERT_NE(s, nullptr);
    s->SMTP_USERNAME_TEXTBOX.type("everyone");
    s->TLS_NO_TICKBOX.click();
    s->TLS_YES_TICKBOX.click();
    h.store.clearLog();
    ASSERT_TRUE(s->OK_BUTTON.click());
    EXPECT_EQ(h.store.writtenKeys("DEMO"),
              (std::vector<std::string>{"SHARED-SETTINGS-Left", "SHARED-SETTINGS-Top"}));
    EXPECT_EQ(h.store.writtenKeys(SettingsStore::sharedEmailSection),
              (std::vector<std::string>{"SE_HOME_TEXTBOX", "SMTP_SERVER_ADDRESS_PORT_TEXTBOX",
                                        "SMTP_USERNAME_TEXTBOX", "SMTP_PASSWORD_TEXTBOX",
                                        "SEND_FROM_ADDRESS_TEXTBOX", "SEND_TO_ADDRESS_TEXTBOX",
                                        "SEND_CC_ADDRESS_TEXTBOX", "SEND_BCC_ADDRESS_TEXTBOX",
                                        "TLS_NO_TICKBOX", "TLS_YES_TICKBOX", "TLS_AUTO_TICKBOX"}));
    EXPECT_EQ(h.store.read(SettingsStore::sharedEmailSection, "SMTP_USERNAME_TEXTBOX", ""), "everyone");
    EXPECT_EQ(h.store.read(SettingsStore::sharedEmailSection, "TLS_YES_TICKBOX", ""), "1");
    EXPECT_EQ(h.stored("SMTP_USERNAME_TEXTBOX"), "<unset>");
    h.advance(0);
    EXPECT_EQ(h.app.find<EmailSharedSettingsWindow>(), nullptr);
    EXPECT_EQ(e.SMTP_USERNAME_TEXTBOX.text(), "");
}

}  // namespace pd::test
