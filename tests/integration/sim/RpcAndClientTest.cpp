// What the client and the RPC interface answer, and how the client reports
// it: stdout only on success, the error on stderr, and the exit status.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>
#include <filesystem>

#include "SimHarness.hpp"
#include "TestSettings.hpp"

namespace fs = std::filesystem;
using namespace simtest;

namespace {

std::string hex(const unsigned char* data, std::size_t size) {
    std::string out;
    char buf[3];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

// An rpcauth line made the way the coin's helper script makes one.
std::string rpcauthLine(const std::string& user, const std::string& password) {
    std::string salt = "5f3a0c9e1b7d2468ace013579bdf2468";
    std::array<unsigned char, EVP_MAX_MD_SIZE> mac{};
    unsigned int len = 0;
    HMAC(EVP_sha256(), salt.data(), static_cast<int>(salt.size()),
         reinterpret_cast<const unsigned char*>(password.data()), password.size(), mac.data(), &len);
    return "rpcauth=" + user + ":" + salt + "$" + hex(mac.data(), len) + "\n";
}

}  // namespace

TEST(RpcAndClient, LoadingAnswersMinus28UntilReady) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_STARTUP_DELAY", "1.5"}}));
    Result r;
    // Wait until the node listens; from then until it has loaded it answers -28.
    ASSERT_TRUE(waitUntil([&] { return (r = node.cli({"getblockcount"})).status != 1; }, 5s)) << r.err;
    EXPECT_EQ(r.status, 28);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(r.err.starts_with("error code: -28\nerror message:\nLoading ")) << r.err;

    auto raw = httpPost(node.port(), basicAuth(Node::testUser, Node::testPassword),
                        R"({"jsonrpc":"1.0","id":"t","method":"getblockcount","params":[]})");
    EXPECT_EQ(raw.status, 500);
    EXPECT_NE(raw.body.find(R"("error":{"code":-28,"message":"Loading )"), std::string::npos) << raw.body;
    EXPECT_NE(raw.body.find(R"("id":"t")"), std::string::npos);

    auto stop = node.cli({"stop"});
    EXPECT_EQ(stop.status, 28) << "even stop is refused while loading";

    ASSERT_TRUE(node.waitReady(5s));
    EXPECT_TRUE(node.process().running());
}

TEST(RpcAndClient, WrongPasswordIsRefused) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto r = node.cli({"-rpcpassword=wrong", "getblockcount"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error: Authorization failed: Incorrect rpcuser or rpcpassword\n");

    auto raw = httpPost(node.port(), basicAuth(Node::testUser, "wrong"), R"({"method":"getblockcount"})");
    EXPECT_EQ(raw.status, 401);
    EXPECT_EQ(raw.body, "");
    auto none = httpPost(node.port(), "", R"({"method":"getblockcount"})");
    EXPECT_EQ(none.status, 401);
    EXPECT_EQ(none.body, "");
}

TEST(RpcAndClient, RpcauthLineAcceptsItsPassword) {
    ScratchDir dir;
    Node node(dir);
    std::string conf = "server=1\nrpcport=" + std::to_string(node.port()) + "\n" +
                       rpcauthLine("bob", "pw with spaces") + rpcauthLine("carol", "other");
    node.start(Node::Setup(fastEnv()).withConf(conf));
    Result r;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (r = node.cli({"-rpcuser=bob", "-rpcpassword=pw with spaces", "getblockcount"})).status ==
                   0;
        },
        5s))
        << r.err << node.stderrText();
    EXPECT_GE(std::stoll(r.out), 1000);
    EXPECT_EQ(node.cli({"-rpcuser=carol", "-rpcpassword=other", "getblockcount"}).status, 0);

    auto wrong = node.cli({"-rpcuser=bob", "-rpcpassword=other", "getblockcount"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.out, "");
    EXPECT_NE(wrong.err.find("Incorrect rpcuser or rpcpassword"), std::string::npos);
}

TEST(RpcAndClient, CookieIsUsedWhenNoPasswordIsSet) {
    ScratchDir dir;
    Node node(dir);
    node.start(Node::Setup(fastEnv()).withConf("rpcport=" + std::to_string(node.port()) + "\n"));
    ASSERT_TRUE(waitUntil([&] { return fs::exists(node.datadir() + "/.cookie"); }, 5s));
    Result r;
    ASSERT_TRUE(waitUntil(
        [&] {
            return (r = node.cli({"-datadir=" + node.datadir(), "getblockcount"})).status == 0;
        },
        5s))
        << r.err;
    EXPECT_TRUE(readFile(node.datadir() + "/.cookie").starts_with("__cookie__:"));
    ASSERT_EQ(node.cli({"-datadir=" + node.datadir(), "stop"}).status, 0);
    ASSERT_EQ(node.process().waitExit(5s), 0);
    EXPECT_FALSE(fs::exists(node.datadir() + "/.cookie"));
}

TEST(RpcAndClient, UnknownMethodIsAnError) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto r = node.cli({"getwalletinfo"});
    EXPECT_EQ(r.status, 32601 & 0xFF);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "error code: -32601\nerror message:\nMethod not found\n");
    auto raw =
        httpPost(node.port(), basicAuth(Node::testUser, Node::testPassword), R"({"method":"nosuch","id":7})");
    EXPECT_EQ(raw.status, 404);
    EXPECT_EQ(raw.body,
              "{\"result\":null,\"error\":{\"code\":-32601,\"message\":\"Method not found\"},\"id\":7}\n");
}

TEST(RpcAndClient, MalformedRequestsAreAnswered) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto auth = basicAuth(Node::testUser, Node::testPassword);
    auto bad = httpPost(node.port(), auth, "{not json");
    EXPECT_EQ(bad.status, 500);
    EXPECT_NE(bad.body.find("-32700"), std::string::npos);
    auto batch = httpPost(node.port(), auth, R"([{"method":"getblockcount","id":1},{"method":"x","id":2}])");
    EXPECT_EQ(batch.status, 200);
    EXPECT_NE(batch.body.find("\"id\":1"), std::string::npos);
    EXPECT_NE(batch.body.find("-32601"), std::string::npos);
    auto params = node.cli({"getblockcount", "5"});
    EXPECT_EQ(params.status, 1) << "getblockcount takes no parameters";
    EXPECT_TRUE(node.process().running());
}

TEST(RpcAndClient, ClientCannotConnectWithoutANode) {
    ScratchDir dir;
    auto port = freePort();
    writeFile(dir / "c.conf", "rpcport=" + std::to_string(port) + "\nrpcuser=u\nrpcpassword=p\n");
    auto r = run(binary("simcoin-cli"), {"-conf=" + (dir / "c.conf"), "-daemon=0", "getblockcount"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(
        r.err.starts_with("error: Could not connect to the server 127.0.0.1:" + std::to_string(port) + "\n"))
        << r.err;
    EXPECT_NE(r.err.find("Make sure the simcoind server is running"), std::string::npos);
}

TEST(RpcAndClient, ClientReportsConfigurationProblems) {
    ScratchDir dir;
    auto missing = run(binary("simcoin-cli"), {"-conf=" + (dir / "nope.conf"), "getblockcount"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find("could not be opened"), std::string::npos) << missing.err;

    writeFile(dir / "bad.conf", "rpcport=1\nthis line has no equals sign\n");
    auto bad = run(binary("simcoin-cli"), {"-conf=" + (dir / "bad.conf"), "getblockcount"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("parse error on line 2"), std::string::npos) << bad.err;

    auto node = run(binary("simcoind"), {"-conf=" + (dir / "bad.conf"), "-datadir=" + dir.path()}, fastEnv());
    EXPECT_EQ(node.status, 1);
    EXPECT_NE(node.err.find("parse error on line 2"), std::string::npos) << node.err;

    auto noDir = run(binary("simcoind"), {"-datadir=" + (dir / "absent")}, fastEnv());
    EXPECT_EQ(noDir.status, 1);
    EXPECT_NE(noDir.err.find("does not exist"), std::string::npos) << noDir.err;
}

TEST(RpcAndClient, NodeReadsCommentsSectionsAndUnknownOptions) {
    ScratchDir dir;
    Node node(dir);
    std::string conf = "# a comment\n\n  server = 1  \nrpcport=" + std::to_string(node.port()) +
                       "  # the port\nrpcuser=alice\nrpcpassword=" + Node::testPassword +
                       "\nrpcallowip=127.0.0.1\ndbcache=450\n[test]\nrpcport=1\n[main]\nprune=0\n";
    node.start(Node::Setup(fastEnv()).withConf(conf));
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    EXPECT_NE(readFile(node.datadir() + "/debug.log").find("Ignoring unknown configuration option dbcache"),
              std::string::npos);
}

TEST(RpcAndClient, HelpAndUptimeAnswer) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv());
    ASSERT_TRUE(node.waitReady()) << node.stderrText();
    auto help = node.cli({"help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("getblockcount\n"), std::string::npos);
    auto uptime = node.cli({"-daemon=1", "uptime"});
    EXPECT_EQ(uptime.status, 0);
    EXPECT_GE(std::stoll(uptime.out), 0);
}

TEST(RpcAndClient, RpcwaitWaitsForTheNodeToLoad) {
    ScratchDir dir;
    Node node(dir);
    node.start(fastEnv({{"SIMCOIN_STARTUP_DELAY", "1"}}));
    auto r = node.cli({"-rpcwait", "-rpcwaittimeout=10", "getblockcount"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GE(std::stoll(r.out), 1000);
}
