// The simulated node built for Windows, run for real: the process list finds it under the
// name of its .exe in any letter case, its client answers through Winsock, rpcauth is
// checked with CNG's HMAC, -daemon starts a detached copy and the data-folder lock holds.
#include <gtest/gtest.h>

#include <fstream>

#include "WindowsTestSupport.hpp"
#include "platform/win32/Win32Platform.hpp"

namespace pd::test {

namespace {

// RFC 4231, test case 2: HMAC-SHA256 keyed with "Jefe".
const std::string rfcPassword = "what do ya want for nothing?";
const std::string rfcHmac = "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843";

// A name of this test run's own, so that the process list finds this run's node alone.
std::string ownName(const std::string& suffix) {
    return "sw" + std::to_string(::GetCurrentProcessId()) + suffix;
}

// A node's folder, configuration and client under names of this test's own.
struct SimFolder {
    explicit SimFolder(const std::string& nodeFile) {
        node = tmp.path + "\\" + nodeFile;
        cli = tmp.path + "\\" + ownName("-cli.exe");
        copyBuilt("simcoin.exe", node);
        copyBuilt("simcoin.exe", cli);
        data = tmp.path + "\\data dir";
        std::filesystem::create_directories(pathOf(data));
        conf = tmp.path + "\\node.conf";
        port = freePort();
        std::ofstream(pathOf(conf)) << "server=1\nrpcport=" << port << "\nrpcuser=pd\nrpcpassword=pw\n"
                                    << "rpcauth=alice:Jefe$" << rfcHmac << "\n";
        // Short delays; the environment is inherited by every program the test starts.
        ::SetEnvironmentVariableW(L"SIMCOIN_STARTUP_DELAY", L"0");
        ::SetEnvironmentVariableW(L"SIMCOIN_STOP_DELAY", L"0");
    }
    ~SimFolder() {
        ::SetEnvironmentVariableW(L"SIMCOIN_STARTUP_DELAY", nullptr);
        ::SetEnvironmentVariableW(L"SIMCOIN_STOP_DELAY", nullptr);
    }
    std::string nodeLine(const std::string& extra = "") const {
        return "\"" + node + "\" \"-conf=" + conf + "\" \"-datadir=" + data + "\"" + extra;
    }
    Ran client(const std::string& args) const {
        return runCaptured("\"" + cli + "\" \"-conf=" + conf + "\" " + args, tmp.path);
    }
    bool answering() const { return client("getblockcount").status == 0; }

    TempDir tmp;
    std::string node, cli, data, conf;
    int port = 0;
};

}  // namespace

TEST(WindowsSimulatedNode, TheListSeesTheNodeByItsFileNameAndItsClientReadsTheChain) {
    const std::string id = std::to_string(::GetCurrentProcessId());
    struct Case {
        std::string file;    // the copy started
        std::string lookup;  // the name the process list is asked for
    };
    for (const auto& c : std::vector<Case>{{"SCW" + id + "D.EXE", "scw" + id + "d.exe"},
                                           {"scw" + id + "d.exe", "SCW" + id + "D.EXE"},
                                           {"ScW" + id + "-Qt.Exe", "scw" + id + "-qt.exe"}}) {
        SimFolder sim(c.file);
        Started node(sim.nodeLine());
        ASSERT_TRUE(node.info.hProcess) << c.file;
        win32::Win32Platform platform;
        ASSERT_TRUE(waitFor([&] { return platform.processes()->has(c.lookup); })) << c.file;
        ASSERT_TRUE(waitFor([&] { return sim.answering(); })) << c.file;

        const auto count = sim.client("getblockcount");
        EXPECT_EQ(count.status, 0);
        // Text mode, as a Windows program prints: CR LF.
        EXPECT_TRUE(count.out.ends_with("\r\n") && std::stol(count.out) >= 1000) << count.out;
        const auto info = sim.client("getblockchaininfo");
        EXPECT_EQ(info.status, 0);
        EXPECT_NE(info.out.find("\"chain\": \"main\""), std::string::npos) << info.out;

        const auto stop = sim.client("stop");
        EXPECT_EQ(stop.out, "Simcoin server stopping\r\n");
        EXPECT_EQ(node.exitStatus(), 0) << c.file;
        EXPECT_FALSE(platform.processes()->has(c.lookup));
    }
}

TEST(WindowsSimulatedNode, RpcauthLetsTheRightPasswordInAndTurnsAWrongOneAway) {
    SimFolder sim(ownName("-authd.exe"));
    Started node(sim.nodeLine());
    ASSERT_TRUE(waitFor([&] { return sim.answering(); }));
    struct Case {
        std::string user, password;
        long status;
        std::string err;
    };
    for (const auto& c : std::vector<Case>{
             {"alice", rfcPassword, 0, ""},
             {"alice", rfcPassword + " ", 1,
              "error: Authorization failed: Incorrect rpcuser or rpcpassword\r\n"},
             {"bob", rfcPassword, 1, "error: Authorization failed: Incorrect rpcuser or rpcpassword\r\n"}}) {
        const auto ran =
            sim.client("-rpcuser=" + c.user + " \"-rpcpassword=" + c.password + "\" getblockcount");
        EXPECT_EQ(ran.status, c.status) << c.user << ":" << c.password;
        EXPECT_EQ(ran.err, c.err) << c.user << ":" << c.password;
    }
}

TEST(WindowsSimulatedNode, DaemonStartsADetachedNodeAndASecondNodeFindsTheFolderLocked) {
    SimFolder sim(ownName("-lockd.exe"));
    const auto parent = runCaptured(sim.nodeLine(" -daemon=1"), sim.tmp.path);
    EXPECT_EQ(parent.status, 0);
    EXPECT_EQ(parent.out, "Simcoin server starting\r\n");
    ASSERT_TRUE(waitFor([&] { return sim.answering(); }));

    const auto second = runCaptured(sim.nodeLine(" -rpcport=" + std::to_string(freePort())), sim.tmp.path);
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("Error: Cannot obtain a lock on data directory " + sim.data), std::string::npos)
        << second.err;

    EXPECT_EQ(sim.client("stop").status, 0);
    win32::Win32Platform platform;
    EXPECT_TRUE(waitFor([&] { return !platform.processes()->has(ownName("-lockd.exe")); }));
    // A clean stop removes the pid file; the lock file stays and binds nobody.
    EXPECT_FALSE(std::filesystem::exists(pathOf(sim.data + "\\simcoind.pid")));
}

}  // namespace pd::test
