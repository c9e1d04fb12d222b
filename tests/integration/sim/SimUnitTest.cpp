// The simulator's parts on their own: chain arithmetic, option parsing,
// JSON, authentication and the client's exit status.
#include <gtest/gtest.h>

#include "Auth.hpp"
#include "Chain.hpp"
#include "Client.hpp"
#include "Json.hpp"
#include "Mailer.hpp"
#include "Options.hpp"
#include "SimSettings.hpp"

using namespace simcoin;

TEST(ChainModel, RisesAtItsRateAndStopsAtTarget) {
    Chain chain(1000, 1300, 6.0);
    EXPECT_EQ(chain.heightAfter(0), 1000);
    EXPECT_EQ(chain.heightAfter(1.0), 1006);
    EXPECT_EQ(chain.heightAfter(10.1), 1060);
    EXPECT_EQ(chain.heightAfter(50), 1300);
    EXPECT_EQ(chain.heightAfter(5000), 1300);
    EXPECT_EQ(chain.headersAfter(5000), 1300);
    EXPECT_EQ(chain.connections(8), 8);
    EXPECT_DOUBLE_EQ(Chain::verificationProgress(1300, 1300), 1.0);
    EXPECT_DOUBLE_EQ(Chain::verificationProgress(650, 1300), 0.5);
}

// Both stuck faults freeze the height below the headers; they differ in the peers and in
// whether the headers go on rising.
TEST(ChainModel, StuckFaultsFreezeTheHeightBelowTheHeaders) {
    struct Case {
        const char* name;
        ChainFaults faults;
        std::int64_t headersLate;
        int connections;
    };
    for (const auto& c : {Case{"no peers", {1100, std::nullopt}, 1300, 0},
                          Case{"stalled", {std::nullopt, 1100}, 1300 + 100 * 100, 8},
                          Case{"both: no peers wins", {1100, 1200}, 1300, 0}}) {
        SCOPED_TRACE(c.name);
        Chain chain(1000, 1300, 100.0, c.faults);
        EXPECT_EQ(chain.heightAfter(100), 1100);
        EXPECT_EQ(chain.ceiling(), 1100);
        EXPECT_EQ(chain.headersAfter(100), c.headersLate);
        EXPECT_EQ(chain.connections(8), c.connections);
        EXPECT_LT(Chain::verificationProgress(1100, chain.headersAfter(100)), 1.0);
    }
}

TEST(ChainModel, NeverGoesDown) {
    Chain past(1500, 1300, 10.0);
    EXPECT_EQ(past.heightAfter(100), 1500);
    Chain stuckBelowStart(1000, 1300, 10.0, {900, std::nullopt});
    EXPECT_EQ(stuckBelowStart.heightAfter(100), 1000);
    Chain still(1000, 1300, 0.0);
    EXPECT_EQ(still.heightAfter(100), 1000);
}

TEST(OptionParsing, CommandLineKeepsSpacesAndStopsAtCommand) {
    const char* argv[] = {"simcoin-cli", "-conf=/a b/c.conf", "--datadir=/x y", "-rpcwait",
                          "-nodebug",    "getblockcount",     "-notanoption"};
    auto cl = parseCommandLine(7, argv);
    ASSERT_EQ(cl.options.size(), 4u);
    EXPECT_EQ(cl.options[0], (std::pair<std::string, std::string>{"conf", "/a b/c.conf"}));
    EXPECT_EQ(cl.options[1], (std::pair<std::string, std::string>{"datadir", "/x y"}));
    EXPECT_EQ(cl.options[2], (std::pair<std::string, std::string>{"rpcwait", "1"}));
    EXPECT_EQ(cl.options[3], (std::pair<std::string, std::string>{"debug", "0"}));
    EXPECT_EQ(cl.words, (std::vector<std::string>{"getblockcount", "-notanoption"}));
}

TEST(OptionParsing, ConfFileLikeTheNodeReadsIt) {
    std::string error;
    auto conf = parseConfText(
        "# comment\n rpcport = 1234 # trailing\n\nrpcauth=a:b$c\nrpcauth=d:e$f\n"
        "[test]\nrpcport=1\n[main]\nrpcuser=u\nregtest.rpcport=2\n",
        error);
    ASSERT_TRUE(conf) << error;
    Options options({{"rpcuser", "cmd"}}, conf->options);
    EXPECT_EQ(options.get("rpcport"), "1234");
    EXPECT_EQ(options.get("rpcuser"), "cmd") << "the command line wins";
    EXPECT_EQ(options.getAll("rpcauth"), (std::vector<std::string>{"a:b$c", "d:e$f"}));
    EXPECT_EQ(conf->ignored.size(), 2u);

    EXPECT_FALSE(parseConfText("rpcport=1\nnoequals\n", error));
    EXPECT_EQ(error, "parse error on line 2: noequals");
    EXPECT_FALSE(parseConfText("-rpcport=1\n", error));
    EXPECT_FALSE(parseConfText("rpcpassword=ab#cd\n", error));
}

TEST(SimulationSettings, EnvironmentWinsOverDefaults) {
    std::string error;
    auto env = [](const std::string& name) -> std::optional<std::string> {
        if (name == "SIMCOIN_TARGET") return "+50";
        if (name == "SIMCOIN_RATE") return "2.5";
        if (name == "SIMCOIN_CRASH_AT") return "";  // empty means off
        return std::nullopt;
    };
    auto s = loadSimSettings("", env, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->effectiveTarget(1000), 1050);
    EXPECT_DOUBLE_EQ(s->blocksPerSecond, 2.5);
    EXPECT_FALSE(s->crashAt);
    EXPECT_DOUBLE_EQ(s->startupDelay, 3.0);

    auto bad = [](const std::string& name) -> std::optional<std::string> {
        if (name == "SIMCOIN_RATE") return "fast";
        return std::nullopt;
    };
    EXPECT_FALSE(loadSimSettings("", bad, error));
    EXPECT_NE(error.find("rate=fast"), std::string::npos);
}

TEST(JsonValue, ParsesAndWritesRpcMessages) {
    auto v = Json::parse(R"({"method":"getblockcount","params":[1,"two",true,null,1.5],"id":"x\u00e9"})");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->find("method")->asString(), "getblockcount");
    EXPECT_EQ(v->find("params")->asArray().size(), 5u);
    EXPECT_EQ(v->find("id")->asString(), "x\xc3\xa9");
    EXPECT_EQ(Json(Json::Object{{"a", 1}, {"b", Json::Array{}}}).dump(2), "{\n  \"a\": 1,\n  \"b\": []\n}");
    EXPECT_FALSE(Json::parse("{\"a\":1} extra"));
    EXPECT_FALSE(Json::parse("[1,"));
    EXPECT_FALSE(Json::parse(std::string(1000, '[')));
}

TEST(Authentication, RpcauthIsHmacOfPasswordKeyedWithSalt) {
    // HMAC-SHA256 test vector (RFC 4231, case 2).
    EXPECT_EQ(hmacSha256Hex("Jefe", "what do ya want for nothing?"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    Authenticator auth;
    auth.allowRpcAuth(*parseRpcAuth("bob:salt$" + hmacSha256Hex("salt", "pw")));
    EXPECT_TRUE(auth.check("Basic " + base64Encode("bob:pw")));
    EXPECT_FALSE(auth.check("Basic " + base64Encode("bob:px")));
    EXPECT_FALSE(auth.check("Basic " + base64Encode("eve:pw")));
    EXPECT_FALSE(auth.check("Bearer x"));
    EXPECT_FALSE(parseRpcAuth("nosalt"));
    EXPECT_EQ(base64Decode(base64Encode("a:b c")), "a:b c");
}

TEST(ClientExitStatus, IsTheCodeCutToEightBitsAndNeverZero) {
    EXPECT_EQ(exitStatusForRpcError(-28), 28);
    EXPECT_EQ(exitStatusForRpcError(-32601), 32601 & 0xFF);
    EXPECT_EQ(exitStatusForRpcError(-256), 1);
    EXPECT_EQ(exitStatusForRpcError(0), 1);
}

// The mailer takes the options PACEDECK's mail commands give it, empty ones included.
TEST(Mailer, ReadsTheMailCommandsOptionsAndBuildsTheMessage) {
    std::string error;
    const auto r = parseMailOptions({"-f",   "node@example.org",
                                     "-t",   "me@example.org",
                                     "-cc",  "",
                                     "-bcc", "b1@example.org, b2@example.org",
                                     "-u",   "PACEDECK - X - ALERT",
                                     "-o",   "message-file=C:\\R\\X-END-REPORT.LOG",
                                     "-s",   "127.0.0.1:2525",
                                     "-xu",  "",
                                     "-xp",  "",
                                     "-o",   "reply-to=node@example.org",
                                     "-l",   "x.log",
                                     "-o",   "tls=no",
                                     "-o",   "password=a=b",
                                     "-q",   "-v",
                                     "-a",   "r.log",
                                     "c.svg"},
                                    error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(r.to, (std::vector<std::string>{"me@example.org", "b1@example.org", "b2@example.org"}));
    EXPECT_EQ(r.messageFile, "C:\\R\\X-END-REPORT.LOG");
    EXPECT_EQ(r.extras.at("password"), "a=b");
    EXPECT_EQ(r.attachments, (std::vector<std::string>{"r.log", "c.svg"}));
    EXPECT_TRUE(r.quiet);
    parseMailOptions({"-f", "a@b", "-z", "1"}, error);
    EXPECT_EQ(error, "unknown option -z");

    // A line of the report that starts with a dot must not end the message early.
    MailRequest plain;
    plain.from = r.from;
    plain.to = r.to;
    plain.subject = r.subject;
    const auto message = mailMessage(plain, "first\n.second\n");
    EXPECT_NE(message.find("Subject: PACEDECK - X - ALERT\r\n"), std::string::npos) << message;
    EXPECT_NE(message.find("\r\nfirst\r\n..second\r\n"), std::string::npos) << message;
}
