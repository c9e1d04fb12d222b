// The blockcounter end to end on Windows: a copy set up through its settings windows, the
// simulated node started by the copy's own daemon .bat through cmd, the block count polled
// by the blockcounter .bat on the real clock until the chain has caught up, and the node
// stopped by the cli stop .bat.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "CopySetup.hpp"
#include "WindowsTestSupport.hpp"
#include "core/HomeLayout.hpp"
#include "core/SettingsStore.hpp"
#include "platform/win32/Win32Platform.hpp"

namespace pd::test {

TEST(WindowsBlockcounter, FinishesThroughTheCopysScriptsWhenTheChainHasCaughtUp) {
    TempDir tmp;
    const std::string id = std::to_string(::GetCurrentProcessId());
    // Folders full of cmd's special characters: with them Wine's cmd echoes the poll
    // script's command into the block-count log, ahead of the cli's output. The home folder
    // holds the scripts, which cmd is given on its command line, the sync check's too.
    const std::string special = " sp ace 'sq' % %PATH% ! & ( ) ; , =";
    CopyPaths paths{tmp.path + "\\home" + special, tmp.path + "\\node" + special + ".conf",
                    tmp.path + "\\bin" + special,  "bc" + id + "-qt.exe",
                    "bc" + id + "d.exe",           "bc" + id + "-cli.exe",
                    tmp.path + "\\chain" + special};
    std::filesystem::create_directories(pathOf(paths.progs));
    std::filesystem::create_directories(pathOf(paths.chain));
    for (const auto& name : {paths.qtName, paths.daemonName, paths.cliName})
        copyBuilt("simcoin.exe", paths.progs + "\\" + name);
    std::ofstream(pathOf(paths.conf))
        << "server=1\nrpcport=" << freePort() << "\nrpcuser=pacedeck\nrpcpassword=secret\n";
    // cmd and the node it starts inherit the simulation's settings.
    for (const auto& [name, value] :
         std::vector<std::pair<std::wstring, std::wstring>>{{L"SIMCOIN_START_HEIGHT", L"1000"},
                                                            {L"SIMCOIN_TARGET", L"1020"},
                                                            {L"SIMCOIN_RATE", L"20"},
                                                            {L"SIMCOIN_STARTUP_DELAY", L"0"},
                                                            {L"SIMCOIN_STOP_DELAY", L"0"}})
        ::SetEnvironmentVariableW(name.c_str(), value.c_str());

    const std::string exe = "BC";
    MemoryStore store;
    win32::Win32Platform platform;
    FakeDialogs dialogs;
    {
        VirtualClock clock;
        Scheduler scheduler(clock);
        App setup(exe, store, platform, windowsProfile(), scheduler);
        setUpThroughTheSettings(setup, clock, scheduler, dialogs, paths);
        ASSERT_FALSE(HasFatalFailure());
    }
    store.write(exe, "USER_COUNT_TIME_TEXTBOX", "00:00:02");
    store.write(exe, "FINISH_WHEN_IDENTICAL_TICKBOX", "1");

    // The copy run on the real clock.
    SteadyClock clock;
    Scheduler scheduler(clock);
    App app(exe, store, platform, windowsProfile(), scheduler);
    app.setDialogs(dialogs);
    auto& w = app.start<MainWindow>();
    const HomeLayout layout(app.profile(), paths.home, exe);
    ASSERT_TRUE(platform.runScript(layout.script(Script::RunDaemon), WindowStyle::Hidden));
    w.blockcounter.startFromPipeline();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (w.CURRENT_STATUS_LABEL.text() != "!!! BLOCKCOUNTER FINISHED !!!" &&
           std::chrono::steady_clock::now() < until) {
        scheduler.runDue();
        const auto next = scheduler.nextDue();
        std::this_thread::sleep_for(
            std::chrono::milliseconds(next ? std::clamp<std::int64_t>(*next - clock.nowMs(), 0, 50) : 50));
    }
    EXPECT_EQ(w.CURRENT_STATUS_LABEL.text(), "!!! BLOCKCOUNTER FINISHED !!!")
        << readWhole(layout.latestBlockcount());
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "1020\r\n");
    EXPECT_EQ(w.BLOCK_TRIPLE_CHECK_TEXTBOX.text(), "1020\r\n");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    // The sync check asked the node through its own scripts and heard it had caught up.
    EXPECT_NE(readWhole(layout.syncHistory()).find("Z,1020,"), std::string::npos)
        << readWhole(layout.syncHistory());
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::green);

    ASSERT_TRUE(platform.runScript(layout.script(Script::RunCliStop), WindowStyle::Hidden));
    EXPECT_TRUE(waitFor([&] { return !platform.processes()->has(paths.daemonName); }));
    for (const wchar_t* name : {L"SIMCOIN_START_HEIGHT", L"SIMCOIN_TARGET", L"SIMCOIN_RATE",
                                L"SIMCOIN_STARTUP_DELAY", L"SIMCOIN_STOP_DELAY"})
        ::SetEnvironmentVariableW(name, nullptr);
}

}  // namespace pd::test
