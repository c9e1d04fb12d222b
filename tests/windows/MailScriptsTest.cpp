// The e-mail scripts written by the e-mail settings, run by cmd.exe for real: every value of
// the account and the coin's name reach the mailer whole, letters beyond ASCII included.
#include <gtest/gtest.h>

#include <algorithm>

#include "WindowsTestSupport.hpp"
#include "behaviour/FakeDialogs.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/HomeLayout.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "platform/win32/Win32Platform.hpp"
#include "settings/EmailSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

namespace {
// The value that follows an option in the arguments the mailer received.
std::string after(const std::vector<std::string>& args, const std::string& option) {
    auto it = std::find(args.begin(), args.end(), option);
    return it == args.end() || it + 1 == args.end() ? "(missing)" : *(it + 1);
}
}  // namespace

TEST(WindowsMailScripts, EveryValueReachesTheMailerWholeThroughCmd) {
    TempDir tmp;
    const std::string mailer = tmp.path + "\\mailer é & (1)";
    std::filesystem::create_directories(pathOf(mailer));
    copyProbe(mailer + "\\SendEmail.exe");
    const std::string home = tmp.path + "\\home é ! &";
    const std::string password = "pässwörd é! & \"q\" 'x' (y) ; <z> |";
    const std::string from = "Zoë <zoe@example.org>";

    VirtualClock clock;
    Scheduler scheduler(clock);
    MemoryStore store;
    win32::Win32Platform platform;
    FakeDialogs dialogs;
    App app("MAIL", store, platform, windowsProfile(), scheduler);
    app.setDialogs(dialogs);
    auto& main = app.start<MainWindow>();
    main.CRYPTO_NAME_TEXTBOX.setText("Crypto Münze");
    ASSERT_TRUE(main.SETTINGS_BUTTON.click());
    auto& settings = *app.find<MainSettingsWindow>();
    ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type(home));
    ASSERT_TRUE(settings.CREATE_FOLDERS_BUTTON.click());
    ASSERT_TRUE(settings.SE_SETTINGS_BUTTON.click());
    auto& email = *app.find<EmailSettingsWindow>();
    ASSERT_TRUE(email.SE_HOME_TEXTBOX.type(mailer));
    ASSERT_TRUE(email.SMTP_SERVER_ADDRESS_PORT_TEXTBOX.type("127.0.0.1:25"));
    ASSERT_TRUE(email.SMTP_USERNAME_TEXTBOX.type("usér"));
    ASSERT_TRUE(email.SMTP_PASSWORD_TEXTBOX.type(password));
    ASSERT_TRUE(email.SEND_FROM_ADDRESS_TEXTBOX.type(from));
    ASSERT_TRUE(email.SEND_TO_ADDRESS_TEXTBOX.type("jürgen@example.org"));
    ASSERT_TRUE(email.OK_BUTTON.click());
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

    const std::string out = tmp.path + "\\args";
    ::SetEnvironmentVariableW(L"PROBE_OUT", win32::wide(out).c_str());
    ASSERT_TRUE(platform.runScript(HomeLayout(app.profile(), home, "MAIL").script(Script::StartEmail),
                                   WindowStyle::Hidden));
    ASSERT_TRUE(waitFor([&] { return !recordedArgs(out).empty(); }));
    ::SetEnvironmentVariableW(L"PROBE_OUT", nullptr);
    const auto args = recordedArgs(out);
    EXPECT_EQ(after(args, "-f"), from);
    EXPECT_EQ(after(args, "-t"), "jürgen@example.org");
    EXPECT_EQ(after(args, "-u"), "PACEDECK - Crypto Münze - STARTED");
    EXPECT_EQ(after(args, "-xu"), "usér");
    EXPECT_EQ(after(args, "-xp"), password);
    EXPECT_NE(std::find(args.begin(), args.end(), "password=" + password), args.end());
    EXPECT_EQ(after(args, "-l"), home + "\\LOGS\\MAIL-SEND-EMAIL.LOG");
}

}  // namespace pd::test
