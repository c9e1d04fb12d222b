// A configuration file made by the generator runs the simulated node: the node listens
// on the file's RPC port and accepts the test credentials in both of their forms.
#ifdef SIMCOIN_BIN_DIR

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "SimHarness.h"
#include "confgen/CoinPresetsWindow.hpp"
#include "confgen/ConfGeneratorWindow.hpp"
#include "confgen/TestRpcCredentialsWindow.hpp"
#include "core/App.hpp"
#include "main/MainWindow.hpp"
#include "platform/posix/PosixPlatform.hpp"

namespace pd::test {

namespace {

using namespace std::chrono_literals;

// The real platform on virtual time: files reach the disk, the refresh runs when told.
struct RealCopy {
    explicit RealCopy(const std::string& home)
        : app("SIMBTC", store, platform, posixProfile(home), scheduler) {
        store.write("SIMBTC", "PACEDECK_HOME_TEXTBOX", home);
        app.start();
    }
    void advance(std::int64_t ms) {
        scheduler.advance(ms, clock);
        app.collectClosed();
    }

    VirtualClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    PosixPlatform platform;
    App app;
};

// Composes BASIC SETTINGS + BTC with test set `set` on `port`, and saves it.
std::string saveConfiguration(RealCopy& copy, int set, std::uint16_t port, bool onlyRpcauth) {
    auto& g = copy.app.open<ConfGeneratorWindow>(&copy.app.main());
    g.IDS_BUTTON.click();
    auto& presets = *copy.app.find<CoinPresetsWindow>();
    presets.IMPORT_SETTINGS_TICKBOX.click();
    presets.BASIC_SETTINGS_BUTTON.click();  // leaves the window armed
    presets.BTC_IMPORT_BUTTON.click();
    presets.CANCEL_BUTTON.click();
    EXPECT_EQ(g.RPC_PORT_TEXTBOX.text(), "8332");
    g.RPC_PORT_TEXTBOX.setText(std::to_string(port));

    g.SW_RPC_TEST_CREDENTIALS_BUTTON.click();
    auto& credentials = *copy.app.find<TestRpcCredentialsWindow>();
    credentials.setButton(set).click();
    credentials.USE_CURRENT_CREDENTIALS_BUTTON.click();
    credentials.CANCEL_BUTTON.click();
    if (onlyRpcauth) {
        g.RPC_USER_TEXTBOX.setText("");
        g.RPC_PASSWORD_TEXTBOX.setText("");
    }
    copy.advance(1000);
    g.SAVE_BUTTON.click();
    EXPECT_EQ(g.CANCEL_BUTTON.text(), "Close");
    std::string path = g.CONF_FILE_LOCATION_TEXTBOX.text();
    g.CANCEL_BUTTON.click();
    return path;
}

std::string getblockcount() {
    return R"({"jsonrpc":"1.0","id":"t","method":"getblockcount","params":[]})";
}

}  // namespace

TEST(ConfGeneratorSim, SavedConfigurationStartsTheNodeOnItsPortAndTheClientLogsInWithIt) {
    simtest::ScratchDir dir;
    const std::string home = dir / "home";
    std::filesystem::create_directory(home);
    std::filesystem::create_directory(dir / "data");
    const auto port = simtest::freePort();
    const auto& set = testCredentialSets()[3];

    RealCopy copy(home);
    const std::string conf = saveConfiguration(copy, 4, port, false);
    ASSERT_EQ(conf, home + "/CONFIGS/SIMBTC-CRYPTO-CONFIG.conf");
    const std::string text = simtest::readFile(conf);
    EXPECT_NE(text.find("\nrpcport=" + std::to_string(port) + "\n"), std::string::npos);
    EXPECT_NE(text.find("\nrpcuser=" + std::string(set.user) + "\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(conf.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds the RPC password";

    const simtest::Env fast = {{"SIMCOIN_STARTUP_DELAY", "0"}, {"SIMCOIN_STOP_DELAY", "0"}};
    simtest::Process node(simtest::binary("simcoind"), {"-conf=" + conf, "-datadir=" + (dir / "data")}, fast,
                          dir / "node.out", dir / "node.err");
    ASSERT_TRUE(simtest::waitUntil(
        [&] {
            return simtest::httpPost(port,
                                     simtest::basicAuth(std::string(set.user), std::string(set.password)),
                                     getblockcount())
                       .status == 200;
        },
        15s))
        << simtest::readFile(dir / "node.err");

    auto count = simtest::run(simtest::binary("simcoin-cli"), {"-conf=" + conf, "getblockcount"});
    EXPECT_EQ(count.status, 0) << count.err;
    EXPECT_FALSE(count.out.empty());
    EXPECT_EQ(simtest::httpPost(port, simtest::basicAuth(std::string(set.user), "not the password"),
                                getblockcount())
                  .status,
              401);

    auto stop = simtest::run(simtest::binary("simcoin-cli"), {"-conf=" + conf, "stop"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(node.waitExit(15s), std::optional<int>(0));
}

TEST(ConfGeneratorSim, NodeWhoseFileHoldsOnlyTheRpcauthLineAcceptsTheSetsLogin) {
    simtest::ScratchDir dir;
    const std::string home = dir / "home";
    std::filesystem::create_directory(home);
    std::filesystem::create_directory(dir / "data");
    const auto port = simtest::freePort();
    const auto& set = testCredentialSets()[8];

    RealCopy copy(home);
    const std::string conf = saveConfiguration(copy, 9, port, true);
    const std::string text = simtest::readFile(conf);
    EXPECT_NE(text.find("\n#rpcuser=\n#rpcpassword=\nrpcauth=" + std::string(set.rpcauth) + "\n"),
              std::string::npos);

    const simtest::Env fast = {{"SIMCOIN_STARTUP_DELAY", "0"}, {"SIMCOIN_STOP_DELAY", "0"}};
    simtest::Process node(simtest::binary("simcoind"), {"-conf=" + conf, "-datadir=" + (dir / "data")}, fast,
                          dir / "node.out", dir / "node.err");
    const std::string login = simtest::basicAuth(std::string(set.user), std::string(set.password));
    ASSERT_TRUE(simtest::waitUntil(
        [&] { return simtest::httpPost(port, login, getblockcount()).status == 200; }, 15s))
        << simtest::readFile(dir / "node.err");
    // Another set's password is refused for this user.
    EXPECT_EQ(
        simtest::httpPost(
            port, simtest::basicAuth(std::string(set.user), std::string(testCredentialSets()[0].password)),
            getblockcount())
            .status,
        401);

    const std::vector<std::string> as = {"-conf=" + conf, "-rpcuser=" + std::string(set.user),
                                         "-rpcpassword=" + std::string(set.password)};
    auto count = simtest::run(simtest::binary("simcoin-cli"), {as[0], as[1], as[2], "getblockcount"});
    EXPECT_EQ(count.status, 0) << count.err;
    auto stop = simtest::run(simtest::binary("simcoin-cli"), {as[0], as[1], as[2], "stop"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(node.waitExit(15s), std::optional<int>(0));
}

}  // namespace pd::test

#endif
