#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "core/App.hpp"
#include "core/SettingsStore.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string simBin = PACEDECK_BINARY_DIR "/sim";

int freePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(s);
    return ntohs(addr.sin_port);
}

// A simulated node in a temporary folder, with the copy's home folder beside it holding
// the block-count script the crypto settings would generate.
struct SimulatedNode {
    explicit SimulatedNode(std::map<std::string, std::string> simulation) {
        char name[] = "/tmp/pacedeck-bc-XXXXXX";
        temp = ::mkdtemp(name);
        home = temp + "/home";
        fs::create_directories(home + "/BATS");
        fs::create_directories(home + "/BLOCKCOUNTS");
        fs::create_directories(temp + "/data");
        conf = temp + "/node.conf";
        std::ofstream(conf) << "server=1\nrpcport=" << freePort()
                            << "\nrpcuser=pacedeck\nrpcpassword=secret\n";
        std::ofstream(home + "/BATS/IT-RUN-BLOCKCOUNTER-GBC.sh")
            << "exec '" << simBin << "/simcoin-cli' '-conf=" << conf << "' getblockcount > '" << home
            << "/BLOCKCOUNTS/IT-LATEST-BLOCKCOUNT.LOG'\n";
        pid = ::fork();
        if (pid == 0) {
            for (auto& [key, value] : simulation) ::setenv(key.c_str(), value.c_str(), 1);
            const std::string daemon = simBin + "/simcoind";
            const std::string confArg = "-conf=" + conf;
            const std::string dataArg = "-datadir=" + temp + "/data";
            ::execl(daemon.c_str(), daemon.c_str(), confArg.c_str(), dataArg.c_str(), "-disablewallet=1",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~SimulatedNode() {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        fs::remove_all(temp);
    }
    std::string temp, home, conf;
    pid_t pid = -1;
};

// The program's own machinery on the real clock: scheduler, POSIX platform, real scripts.
struct RealRun {
    explicit RealRun(const SimulatedNode& node, std::map<std::string, std::string> settings)
        : app("IT", store, platform, posixProfile(node.temp), scheduler) {
        settings.emplace("PACEDECK_HOME_TEXTBOX", node.home);
        settings.emplace("QT_NAME_TEXTBOX", "simcoin-qt");
        settings.emplace("DAEMOND_NAME_TEXTBOX", "simcoind");
        settings.emplace("DAEMONCLI_NAME_SETTINGS_TEXTBOX", "simcoin-cli");
        for (auto& [key, value] : settings) store.write("IT", key, value);
    }

    // Runs the timers until the status line reads the text, within the bound.
    bool runUntilStatus(MainWindow& w, std::string_view text, std::chrono::seconds bound) {
        const auto until = std::chrono::steady_clock::now() + bound;
        while (w.CURRENT_STATUS_LABEL.text() != text) {
            if (std::chrono::steady_clock::now() > until) return false;
            scheduler.runDue();
            const auto next = scheduler.nextDue();
            const auto wait = next ? std::clamp<std::int64_t>(*next - clock.nowMs(), 0, 50) : 50;
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        }
        return true;
    }

    SteadyClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    PosixPlatform platform;
    App app;
};

TEST(BlockcounterWithSimulatedNode, FinishesWhenTheChainHasCaughtUp) {
    SimulatedNode node({{"SIMCOIN_START_HEIGHT", "1000"},
                        {"SIMCOIN_TARGET", "1020"},
                        {"SIMCOIN_RATE", "20"},
                        {"SIMCOIN_STARTUP_DELAY", "0"}});
    RealRun run(node, {{"USER_COUNT_TIME_TEXTBOX", "00:00:02"}, {"FINISH_WHEN_IDENTICAL_TICKBOX", "1"}});
    auto& w = run.app.start<MainWindow>();
    w.blockcounter.startFromPipeline();
    ASSERT_TRUE(run.runUntilStatus(w, "!!! BLOCKCOUNTER FINISHED !!!", 120s))
        << w.CURRENT_STATUS_LABEL.text();
    EXPECT_EQ(w.LAST_BLOCKCOUNT_TEXTBOX.text(), "1020\n");
    EXPECT_EQ(w.BLOCK_TRIPLE_CHECK_TEXTBOX.text(), "1020\n");
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! COMPLETED SUCCESSFULLY !!!");
    EXPECT_EQ(w.CONFIRMED_TEXTBOX.back(), colour::green);
    EXPECT_EQ(w.PROCESS_TEXTBOX_2.back(), colour::green);
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
}

TEST(BlockcounterWithSimulatedNode, TheOverrideEndsARunWhoseChainNeverStopsGrowing) {
    SimulatedNode node({{"SIMCOIN_START_HEIGHT", "1000"},
                        {"SIMCOIN_TARGET", "+1000000"},
                        {"SIMCOIN_RATE", "3"},
                        {"SIMCOIN_STARTUP_DELAY", "0"}});
    RealRun run(node, {{"USER_COUNT_TIME_TEXTBOX", "00:00:01"},
                       {"FINISH_WHEN_IDENTICAL_TICKBOX", "1"},
                       {"OVERRIDE_TIMER_ENABLE_TICKBOX", "1"},
                       {"AUTOSTART_OVERRIDE_TIMER_TICKBOX", "1"},
                       {"USER_OVERRIDE_TIME_TEXTBOX", "00:00:12"}});
    auto& w = run.app.start<MainWindow>();
    w.blockcounter.startFromPipeline();
    ASSERT_TRUE(run.runUntilStatus(w, "!!! BLOCKCOUNTER - MORE BLOCKS THAN TIME !!!", 60s))
        << w.CURRENT_STATUS_LABEL.text();
    EXPECT_EQ(w.BLOCKCOUNTER_LAST_RUN_TEXTBOX.text(), "!!! OVERRIDE TIMER ACTIVATED !!!");
    EXPECT_NE(w.CONFIRMED_TEXTBOX.back(), colour::green);
    EXPECT_FALSE(w.LAST_BLOCKCOUNT_TEXTBOX.text().empty());  // it did read the growing chain
    EXPECT_EQ(w.TASK_9_LIGHT.back(), colour::green);
}

}  // namespace
}  // namespace pd
