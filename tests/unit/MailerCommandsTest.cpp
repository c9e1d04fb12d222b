#include <gtest/gtest.h>

#include "core/Profile.hpp"
#include "settings/MailerCommands.hpp"

namespace pd {

namespace {
MailerValues account(std::string home) {
    MailerValues v;
    v.mailerHome = "C:\\SYNCWARD-ROOT\\SendEmail";
    v.from = "node@example.org";
    v.to = "me@example.org";
    v.cc = "";
    v.bcc = "audit@example.org";
    v.server = "smtp.example.org:587";
    v.username = "node";
    v.password = "s3cret";
    v.tls = "yes";
    v.crypto = "BTC";
    v.home = std::move(home);
    v.exe = "BTCSYNC";
    return v;
}
}  // namespace

TEST(MailerCommands, WindowsTextsAreExactlyTheFamiliarSendEmailLines) {
    auto v = account("C:\\SYNCWARD-ROOT\\PACEDECK");
    auto c = buildMailerCommands(windowsProfile(), v);
    EXPECT_EQ(c.startSubject, "PACEDECK - BTC - STARTED");
    EXPECT_EQ(c.endSubject, "PACEDECK - BTC - COMPLETED - LOG REPORT");
    EXPECT_EQ(
        c.startCommand,
        "call \"C:\\SYNCWARD-ROOT\\SendEmail\\SendEmail.exe\" -f \"node@example.org\" -t \"me@example.org\" "
        "-cc \"\" -bcc \"audit@example.org\" -u \"PACEDECK - BTC - STARTED\" -m \"PACEDECK - BTC - STARTED\" "
        "-s \"smtp.example.org:587\" -xu \"node\" -xp \"s3cret\" -o reply-to=node@example.org "
        "-l \"C:\\SYNCWARD-ROOT\\PACEDECK\\LOGS\\BTCSYNC-SEND-EMAIL.LOG\" -o tls=yes -o username=node "
        "-o password=s3cret -q -v ");
    EXPECT_EQ(c.messageOption,
              " -o message-file=\"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTCSYNC-END-REPORT.LOG\"");
    EXPECT_EQ(c.attachmentOption, "");
    EXPECT_EQ(
        c.endCommand,
        "call \"C:\\SYNCWARD-ROOT\\SendEmail\\SendEmail.exe\" -f \"node@example.org\" -t \"me@example.org\" "
        "-cc \"\" -bcc \"audit@example.org\" -u \"PACEDECK - BTC - COMPLETED - LOG REPORT\" "
        "-o message-file=\"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTCSYNC-END-REPORT.LOG\" "
        "-s \"smtp.example.org:587\" -xu \"node\" -xp \"s3cret\" -o reply-to=node@example.org "
        "-l \"C:\\SYNCWARD-ROOT\\PACEDECK\\LOGS\\BTCSYNC-SEND-EMAIL.LOG\" -o tls=yes -o username=node "
        "-o password=s3cret -q -v ");

    v.attachReport = true;
    auto attached = buildMailerCommands(windowsProfile(), v);
    EXPECT_EQ(attached.startCommand, c.startCommand);
    EXPECT_EQ(attached.attachmentOption,
              "-a \"C:\\SYNCWARD-ROOT\\PACEDECK\\REPORTS\\BTCSYNC-END-REPORT.LOG\"");
    EXPECT_EQ(attached.endCommand, c.endCommand + attached.attachmentOption);
    // The alert is the same report under a subject that carries the reason.
    EXPECT_EQ(c.alertSubject, "PACEDECK - BTC - ALERT - NODE STUCK - LOG REPORT");
    for (const auto* made : {&c, &attached}) {
        auto expected = made->endCommand;
        expected.replace(expected.find(made->endSubject), made->endSubject.size(), made->alertSubject);
        EXPECT_EQ(made->alertCommand, expected);
    }
}

TEST(MailerCommands, AnEmptyAccountStillCarriesEveryOption) {
    MailerValues v;
    v.crypto = "LTC";
    v.home = "C:\\PD";
    v.exe = "DEMO";
    auto c = buildMailerCommands(windowsProfile(), v);
    EXPECT_EQ(c.startCommand,
              "call \"\\SendEmail.exe\" -f \"\" -t \"\" -cc \"\" -bcc \"\" -u \"PACEDECK - LTC - STARTED\" "
              "-m \"PACEDECK - LTC - STARTED\" -s \"\" -xu \"\" -xp \"\" -o reply-to= "
              "-l \"C:\\PD\\LOGS\\DEMO-SEND-EMAIL.LOG\" -o tls=no -o username= -o password= -q -v ");
}

TEST(MailerCommands, WindowsQuotesOnlyWhatCmdWouldSplitOrExpand) {
    auto v = account("C:\\PD");
    v.password = "two words";
    auto c = buildMailerCommands(windowsProfile(), v);
    EXPECT_NE(c.startCommand.find(" -xp \"two words\" "), std::string::npos);
    EXPECT_NE(c.startCommand.find(" -o password=\"two words\" -q "), std::string::npos);
    // The commands run as `call` lines of a batch file: a quote inside is doubled so cmd's
    // quote state never flips, and "%" survives both the batch file and `call` halving it.
    v.password = "say \"hi\" 100%";
    c = buildMailerCommands(windowsProfile(), v);
    EXPECT_NE(c.startCommand.find(" -xp \"say \"\"hi\"\" 100%%%%\" "), std::string::npos) << c.startCommand;
    EXPECT_NE(c.startCommand.find(" -o password=\"say \"\"hi\"\" 100%%%%\" -q "), std::string::npos);
    // A closing backslash must not escape the closing quote.
    v.password = "pa\\";
    c = buildMailerCommands(windowsProfile(), v);
    EXPECT_NE(c.startCommand.find(" -xp \"pa\\\\\" "), std::string::npos) << c.startCommand;
}

TEST(MailerCommands, PosixUsesDebiansSendemailAndQuotesForTheShell) {
    auto p = posixProfile("/home/tester");
    auto v = account("/home/tester/PD");
    v.mailerHome = p.mailerFolder;
    v.tls = "no";
    auto c = buildMailerCommands(p, v);
    EXPECT_EQ(c.startCommand,
              "exec \"/usr/bin/sendemail\" -f \"node@example.org\" -t \"me@example.org\" -cc \"\" "
              "-bcc \"audit@example.org\" -u \"PACEDECK - BTC - STARTED\" -m \"PACEDECK - BTC - STARTED\" "
              "-s \"smtp.example.org:587\" -xu \"node\" -xp \"s3cret\" -o reply-to=node@example.org "
              "-l \"/home/tester/PD/LOGS/BTCSYNC-SEND-EMAIL.LOG\" -o tls=no -o username=node -o "
              "password=s3cret -q -v ");
    EXPECT_EQ(c.messageOption, " -o message-file=\"/home/tester/PD/REPORTS/BTCSYNC-END-REPORT.LOG\"");

    // What sh would expand or split goes between single quotes.
    v.password = "it's $HOME `x` \"q\" a\\b";
    c = buildMailerCommands(p, v);
    const std::string quoted = "'it'\\''s $HOME `x` \"q\" a\\b'";
    EXPECT_NE(c.startCommand.find(" -xp " + quoted + " "), std::string::npos) << c.startCommand;
    EXPECT_NE(c.startCommand.find(" -o password=" + quoted + " -q "), std::string::npos) << c.startCommand;
    v.username = "me two";
    c = buildMailerCommands(p, v);
    EXPECT_NE(c.startCommand.find(" -xu \"me two\" "), std::string::npos);
    EXPECT_NE(c.startCommand.find(" -o username='me two' "), std::string::npos);
}

TEST(MailerCommands, TheSyncChartGoesAsASecondFileOfTheReportsAttachment) {
    struct Case {
        Profile profile;
        std::string home;
        std::string chartOption;
    };
    for (const auto& c : {Case{windowsProfile(), "C:\\PD", " \"C:\\PD\\REPORTS\\BTCSYNC-SYNC-CHART.svg\""},
                          Case{posixProfile("/home/t"), "/home/t/my pd",
                               " \"/home/t/my pd/REPORTS/BTCSYNC-SYNC-CHART.svg\""}}) {
        auto v = account(c.home);
        v.attachChart = true;
        const auto alone = buildMailerCommands(c.profile, v);  // no report attached: no chart either
        v.attachReport = true;
        const auto both = buildMailerCommands(c.profile, v);
        v.attachChart = false;
        const auto report = buildMailerCommands(c.profile, v);
        EXPECT_EQ(alone.attachmentOption, "");
        EXPECT_EQ(both.attachmentOption, report.attachmentOption + c.chartOption);
        EXPECT_EQ(both.endCommand, report.endCommand + c.chartOption);
        EXPECT_EQ(both.startCommand, report.startCommand);

        // At the run's end a saved command is fitted to the chart in either direction, and
        // one without attachments is left alone.
        auto fit = [&](const std::string& saved, bool chart) {
            return endCommandWithChart(c.profile, c.home, "BTCSYNC", saved, chart);
        };
        EXPECT_EQ(fit(report.endCommand, true), both.endCommand);
        EXPECT_EQ(fit(both.endCommand, false), report.endCommand);
        EXPECT_EQ(fit(both.endCommand, true), both.endCommand);
        EXPECT_EQ(fit(report.endCommand, false), report.endCommand);
        EXPECT_EQ(fit(alone.endCommand, true), alone.endCommand);
        EXPECT_EQ(fit("", true), "");
    }
}

}  // namespace pd
