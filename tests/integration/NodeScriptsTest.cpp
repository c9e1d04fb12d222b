// The node scripts written by the crypto settings, run for real by /bin/sh: every value,
// however full of shell-special characters, spaces and non-ASCII letters, reaches the
// started program exactly.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ScriptProbe.hpp"
#include "behaviour/FakeDialogs.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"
#include "settings/CryptoSettingsWindow.hpp"
#include "settings/MainSettingsWindow.hpp"
#include "settings/NodeCommands.hpp"

namespace pd::test {

namespace {
// Everything a folder name may hold that a shell might act on.
const std::string nasty = "sp ace 'sq' \"dq\" $HOME ${X} `id` $(id) %PATH% & | ; < > * ? [a] ~ # ! \\ \t é中";
}  // namespace

TEST(NodeScripts, ValuesReachTheProgramsExactlyThroughSh) {
    TempDir tmp;
    const std::string progs = tmp.path + "/bin " + nasty;
    const std::string home = tmp.path + "/home " + nasty;
    const std::string conf = tmp.path + "/conf " + nasty + ".conf";
    const std::string chain = tmp.path + "/chain " + nasty;
    const std::string qtName = "qt probe $x é", daemonName = "daemon'd", cliName = "cli \"c\" *";
    std::filesystem::create_directories(progs);
    for (const auto& name : {qtName, daemonName, cliName}) writeProbe(progs + "/" + name);

    VirtualClock clock;
    Scheduler scheduler(clock);
    MemoryStore store;
    PosixPlatform platform;
    FakeDialogs dialogs;
    const std::string exe = "BTC $x é";
    App app(exe, store, platform, posixProfile(tmp.path), scheduler);
    app.setDialogs(dialogs);
    auto& main = app.start<MainWindow>();

    ASSERT_TRUE(main.SETTINGS_BUTTON.click());
    auto& settings = *app.find<MainSettingsWindow>();
    ASSERT_TRUE(settings.PACEDECK_HOME_TEXTBOX.type(home));
    ASSERT_TRUE(settings.USE_OWN_CONF_TICKBOX.click());
    ASSERT_TRUE(settings.CONF_FILE_LOCATION_TEXTBOX.type(conf));
    ASSERT_TRUE(settings.CREATE_FOLDERS_BUTTON.click());
    ASSERT_EQ(settings.MESSAGE_STATUS_TEXTBOX.text(), MainSettingsWindow::foldersCreatedStatus);
    ASSERT_TRUE(settings.OK_BUTTON.click());
    app.collectClosed();

    ASSERT_TRUE(main.SETTINGS_BUTTON.click());
    ASSERT_TRUE(app.find<MainSettingsWindow>()->CRYPTO_SETTINGS_BUTTON.click());
    auto& crypto = *app.find<CryptoSettingsWindow>();
    ASSERT_TRUE(crypto.QT_LOCATION_TEXTBOX.type(progs));
    ASSERT_TRUE(crypto.QT_NAME_TEXTBOX.type(qtName));
    ASSERT_TRUE(crypto.DAEMON_CLI_LOCATION_TEXTBOX.type(progs));
    ASSERT_TRUE(crypto.DAEMOND_NAME_TEXTBOX.type(daemonName));
    ASSERT_TRUE(crypto.DAEMONCLI_NAME_SETTINGS_TEXTBOX.type(cliName));
    ASSERT_TRUE(crypto.BLOCKCHAIN_HOME_TEXTBOX.type(chain));
    ASSERT_TRUE(crypto.DAEMON_WALLET_TICKBOX.click());
    ASSERT_TRUE(crypto.DAEMON_DISABLE_WALLET_TICKBOX.click());
    ASSERT_TRUE(crypto.CLI_DAEMON_TICKBOX.click());
    scheduler.advance(1000, clock);
    ASSERT_TRUE(crypto.SAVE_BUTTON.click());
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.front();

    const auto& profile = app.profile();
    struct Expect {
        Script script;
        std::vector<std::string> argv;
        const TextBox& command;
    };
    const std::vector<Expect> expected = {
        {Script::RunQt,
         {progs + "/" + qtName, "-conf=" + conf, "-datadir=" + chain},
         main.SW_QT_COMMAND_TEXTBOX},
        {Script::RunDaemon,
         {progs + "/" + daemonName, "-conf=" + conf, "-datadir=" + chain, "-disablewallet=1"},
         main.SW_D_COMMAND_TEXTBOX},
        {Script::RunCliStop,
         {progs + "/" + cliName, "-conf=" + conf, "-datadir=" + chain, "-daemon=1", "stop"},
         main.SWCLI_STOP_COMMAND_TEXTBOX},
        {Script::RunBlockcounter,
         {progs + "/" + cliName, "-conf=" + conf, "-datadir=" + chain, "getblockcount"},
         main.GETBLOCKCOUNT_COMMAND_SETTINGS_TEXTBOX},
    };
    for (const auto& e : expected) {
        const auto script = HomeLayout(profile, home, exe).script(e.script);
        const auto text = readWhole(script);
        EXPECT_EQ(text, e.command.text() + "\n") << script;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << script;
        EXPECT_TRUE(text.starts_with("exec ")) << text;
        struct stat st {};
        ASSERT_EQ(::stat(script.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);

        const auto out = tmp.path + "/args";
        std::filesystem::remove(out);
        auto run = runProgram({"/bin/sh", script}, {"PROBE_OUT=" + out}, tmp.path);
        ASSERT_EQ(run.exitCode, 0) << script << " " << run.err;
        EXPECT_EQ(recordedArgs(out), e.argv) << e.command.text();
    }
    // The watch reads the node's data folder back out of its command, as the node got it.
    for (const auto* command : {&main.SW_QT_COMMAND_TEXTBOX, &main.SW_D_COMMAND_TEXTBOX})
        EXPECT_EQ(ProcessWatch::ownArguments(profile, command->text()),
                  std::vector<std::string>{"-datadir=" + chain});
    // The block-count script's output went to the log under the home folder.
    EXPECT_EQ(readWhole(HomeLayout(profile, home, exe).latestBlockcount()), "4242\r\n");
}

}  // namespace pd::test
