// The node scripts written by the crypto settings, run by cmd.exe for real: every value,
// however full of cmd's special characters, spaces and letters of the code page, reaches
// the started program exactly, and the block count reaches its log through cmd's ">".
#include <gtest/gtest.h>

#include <algorithm>

#include "CopySetup.hpp"
#include "WindowsTestSupport.hpp"
#include "behaviour/FakeDialogs.hpp"
#include "core/App.hpp"
#include "core/Clock.hpp"
#include "core/HomeLayout.hpp"
#include "core/Scheduler.hpp"
#include "main/MainWindow.hpp"
#include "platform/win32/RegistryStore.hpp"
#include "platform/win32/Win32Platform.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"

namespace pd::test {

namespace {
// What cmd acts on that a folder name may hold. Two things are left out, as Wine's cmd
// differs from Windows' there, so that the quoting made for Windows cannot be proven under
// Wine (the quoting tests hold it): a caret, which Wine's `call` does not double inside
// quotes, and a letter beyond ASCII, which Wine's cmd reads in the OEM code page whatever
// the console's page (the file's bytes are checked below instead).
const std::string special = "sp ace 'sq' % %PATH% ! & ( ) ; , =";
// What no file name may hold, but an argument may: the chain folder need not exist.
const std::string argumentOnly = " \"dq\" | < > *";

// A registry key of the test's own, so that no earlier run's settings play a part.
std::string scratchKey(const TempDir& tmp) {
    return "Software\\SW_PACEDECK-TESTS\\" + std::filesystem::path(pathOf(tmp.path)).filename().string();
}
}  // namespace

TEST(WindowsNodeScripts, ValuesReachTheProgramsExactlyThroughCmd) {
    TempDir tmp;
    const std::string progs = tmp.path + "\\bin " + special;
    // No %NAME%: cmd expands it on its own command line, where the script's path stands.
    const std::string home = tmp.path + "\\home sp ace 'sq' % ! &";
    const std::string conf = tmp.path + "\\conf " + special + argumentOnly + ".conf";
    const std::string chain = tmp.path + "\\chain " + special + argumentOnly;
    const std::string qtName = "qt probe.exe", daemonName = "daemon'd.exe", cliName = "cli (c) %x%.exe";
    std::filesystem::create_directories(pathOf(progs));
    for (const auto& name : {qtName, daemonName, cliName}) copyProbe(progs + "\\" + name);

    VirtualClock clock;
    Scheduler scheduler(clock);
    win32::RegistryStore store(scratchKey(tmp));
    win32::Win32Platform platform;
    FakeDialogs dialogs;
    const std::string exe = "BTC &";
    App app(exe, store, platform, windowsProfile(), scheduler);
    setUpThroughTheSettings(app, clock, scheduler, dialogs,
                            {home, conf, progs, qtName, daemonName, cliName, chain});
    ASSERT_FALSE(HasFatalFailure());
    auto& main = *app.find<MainWindow>();

    const auto& profile = app.profile();
    const HomeLayout layout(profile, home, exe);
    struct Expect {
        Script script;
        std::vector<std::string> argv;
        const TextBox& command;
    };
    const std::vector<Expect> expected = {
        {Script::RunQt,
         {progs + "\\" + qtName, "-conf=" + conf, "-datadir=" + chain},
         main.SW_QT_COMMAND_TEXTBOX},
        {Script::RunDaemon,
         {progs + "\\" + daemonName, "-conf=" + conf, "-datadir=" + chain, "-disablewallet=1"},
         main.SW_D_COMMAND_TEXTBOX},
        {Script::RunCliStop,
         {progs + "\\" + cliName, "-conf=" + conf, "-datadir=" + chain, "-daemon=1", "stop"},
         main.SWCLI_STOP_COMMAND_TEXTBOX},
        {Script::RunBlockcounter,
         {progs + "\\" + cliName, "-conf=" + conf, "-datadir=" + chain, "getblockcount"},
         main.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX},
    };
    for (const auto& e : expected) {
        // A file of each run's own.
        const std::string out = tmp.path + "\\args-" + std::to_string(static_cast<int>(e.script));
        ::SetEnvironmentVariableW(L"PROBE_OUT", win32::wide(out).c_str());
        const auto script = layout.script(e.script);
        const auto text = readWhole(script);
        // One line in the code page, ended by CR LF.
        std::string bytes;
        ASSERT_TRUE(platform.batchText(e.command.text() + "\r\n", bytes));
        EXPECT_EQ(text, bytes) << script;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << script;
        EXPECT_TRUE(text.starts_with("call ")) << text;

        ASSERT_TRUE(platform.runScript(script, WindowStyle::Hidden));
        // Read until it holds the arguments: under Wine a file just moved in place may read empty.
        ASSERT_TRUE(waitFor([&] { return !recordedArgs(out).empty(); })) << text;
        EXPECT_EQ(recordedArgs(out), e.argv) << e.command.text();
    }
    ::SetEnvironmentVariableW(L"PROBE_OUT", nullptr);
    // The block-count script's output went to the log under the home folder. Wine's cmd
    // writes its echo of the called command there too, ahead of the output; Windows' does not.
    ASSERT_TRUE(waitFor([&] { return readWhole(layout.latestBlockcount()).ends_with("\n4242\r\n"); }))
        << "[" << readWhole(layout.latestBlockcount()) << "] " << layout.latestBlockcount();
}

// A chain folder in the code page cmd reads (the OEM one) is written in its bytes; one beyond
// it is refused whole, even a "€" of the ANSI code page.
TEST(WindowsNodeScripts, ScriptsAreOneLineInTheCodePageCmdReadsAndACharacterItLacksIsRefused) {
    struct Case {
        std::string chain;
        std::string written;  // in the script's line; empty: refused
        std::string said;     // in the message when refused
    };
    for (const auto& c : std::vector<Case>{
             {"D:\\Chaîne é", "\"-datadir=D:\\Cha\x8Cne \x82\"", ""},
             {"D:\\100 €", "", "the character \"€\" cannot be written in this system's code page (437)"}}) {
        TempDir tmp;
        VirtualClock clock;
        Scheduler scheduler(clock);
        win32::RegistryStore store(scratchKey(tmp));
        win32::Win32Platform platform;
        FakeDialogs dialogs;
        App app("LTC", store, platform, windowsProfile(), scheduler);
        app.setDialogs(dialogs);
        auto& main = app.start<MainWindow>();
        ASSERT_TRUE(main.SETTINGS_BUTTON.click());
        auto& settings = *app.find<MainSettingsWindow>();
        ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type(tmp.path));
        ASSERT_TRUE(settings.CREATE_FOLDERS_BUTTON.click());
        ASSERT_TRUE(settings.CRYPTO_SETTINGS_BUTTON.click());
        auto& crypto = *app.find<CryptoSettingsWindow>();
        ASSERT_TRUE(crypto.BLOCKCHAIN_HOME_TEXTBOX.type(c.chain));
        scheduler.advance(1000, clock);
        crypto.SAVE_BUTTON.click();
        const std::string script = tmp.path + "\\BATS\\LTC-RUN-QT.bat";
        if (c.written.empty()) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_NE(dialogs.messages[0].find(c.said), std::string::npos) << dialogs.messages[0];
            EXPECT_FALSE(platform.exists(script));
            continue;
        }
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();
        const auto text = readWhole(script);
        EXPECT_NE(text.find(c.written), std::string::npos) << text;
        EXPECT_TRUE(text.ends_with("\r\n")) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    }
}

}  // namespace pd::test
