// A configuration file made by the generator runs the simulated node: the node listens
// on the file's RPC port and accepts the test credentials in both of their forms.
#ifdef SIMCOIN_BIN_DIR

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "SimHarness.hpp"
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
        app.start<MainWindow>();
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
    auto& g = copy.app.open<ConfGeneratorWindow>(&mainWindow(copy.app));
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

// A scratch home folder and data folder, a free RPC port, and the node once started.
struct Scene {
    Scene() {
        std::filesystem::create_directory(home);
        std::filesystem::create_directory(dir / "data");
    }
    // Starts the node on `conf` and waits until `login` is accepted on the RPC port.
    bool startNode(const std::string& conf, const std::string& login) {
        node = std::make_unique<simtest::Process>(
            simtest::binary("simcoind"),
            std::vector<std::string>{"-conf=" + conf, "-datadir=" + (dir / "data")},
            simtest::Env{{"SIMCOIN_STARTUP_DELAY", "0"}, {"SIMCOIN_STOP_DELAY", "0"}}, dir / "node.out",
            dir / "node.err");
        return simtest::waitUntil([&] { return status(login) == 200; }, 15s);
    }
    // HTTP status of a getblockcount request with that login.
    int status(const std::string& login) const {
        return simtest::httpPost(port, login,
                                 R"({"jsonrpc":"1.0","id":"t","method":"getblockcount","params":[]})")
            .status;
    }
    simtest::Result cli(std::vector<std::string> args) const {
        return simtest::run(simtest::binary("simcoin-cli"), args);
    }
    std::string nodeErrors() const { return simtest::readFile(dir / "node.err"); }

    simtest::ScratchDir dir;
    const std::string home = dir / "home";
    const std::uint16_t port = simtest::freePort();
    std::unique_ptr<simtest::Process> node;
};

std::string login(std::string_view user, std::string_view password) {
    return simtest::basicAuth(std::string(user), std::string(password));
}

}  // namespace

TEST(ConfGeneratorSim, SavedConfigurationStartsTheNodeOnItsPortAndTheClientLogsInWithIt) {
    Scene scene;
    const auto& set = testCredentialSets()[3];
    RealCopy copy(scene.home);
    const std::string conf = saveConfiguration(copy, 4, scene.port, false);
    ASSERT_EQ(conf, scene.home + "/CONFIGS/SIMBTC-CRYPTO-CONFIG.conf");
    const std::string text = simtest::readFile(conf);
    EXPECT_NE(text.find("\nrpcport=" + std::to_string(scene.port) + "\n"), std::string::npos);
    EXPECT_NE(text.find("\nrpcuser=" + std::string(set.user) + "\n"), std::string::npos);
    struct stat st {};
    ASSERT_EQ(::stat(conf.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds the RPC password";

    ASSERT_TRUE(scene.startNode(conf, login(set.user, set.password))) << scene.nodeErrors();
    auto count = scene.cli({"-conf=" + conf, "getblockcount"});
    EXPECT_EQ(count.status, 0) << count.err;
    EXPECT_FALSE(count.out.empty());
    EXPECT_EQ(scene.status(login(set.user, "not the password")), 401);

    auto stop = scene.cli({"-conf=" + conf, "stop"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(scene.node->waitExit(15s), std::optional<int>(0));
}

TEST(ConfGeneratorSim, NodeWhoseFileHoldsOnlyTheRpcauthLineAcceptsTheSetsLogin) {
    Scene scene;
    const auto& set = testCredentialSets()[8];
    RealCopy copy(scene.home);
    const std::string conf = saveConfiguration(copy, 9, scene.port, true);
    const std::string text = simtest::readFile(conf);
    EXPECT_NE(text.find("\n#rpcuser=\n#rpcpassword=\nrpcauth=" + std::string(set.rpcauth) + "\n"),
              std::string::npos);

    ASSERT_TRUE(scene.startNode(conf, login(set.user, set.password))) << scene.nodeErrors();
    // Another set's password is refused for this user.
    EXPECT_EQ(scene.status(login(set.user, testCredentialSets()[0].password)), 401);

    const std::string user = "-rpcuser=" + std::string(set.user);
    const std::string password = "-rpcpassword=" + std::string(set.password);
    auto count = scene.cli({"-conf=" + conf, user, password, "getblockcount"});
    EXPECT_EQ(count.status, 0) << count.err;
    auto stop = scene.cli({"-conf=" + conf, user, password, "stop"});
    EXPECT_EQ(stop.status, 0) << stop.err;
    EXPECT_EQ(scene.node->waitExit(15s), std::optional<int>(0));
}

}  // namespace pd::test

#endif
