// The simulated node beside the real one: the same questions through each one's client, the
// same answers, the coin's name, ports and paths aside. The fast tests run against the
// simulated node; this keeps it honest where the program reads what a client says.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "LitecoinPair.hpp"

namespace pd::test {

using namespace ltc;
using simtest::readFile;
using simtest::writeFile;

namespace {

struct Side {
    std::string cli;
    std::string conf;            // a conf of a node that answers
    std::string withoutLogin;    // a conf with the node's port and no credentials
    std::string emptyFolder;     // a data folder without a cookie
    std::uint16_t deadPort = 0;  // nothing listens there
};

std::string sameWords(std::string text, const Side& side) {
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{"litecoind", "NODE"},
                                                          {"simcoind", "NODE"},
                                                          {side.withoutLogin, "CONF"},
                                                          {std::to_string(side.deadPort), "PORT"}}) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
            text.replace(at, from.size(), to);
    }
    return text;
}

// The names of the top-level members of a pretty-printed object, in order.
std::vector<std::string> topMembers(const std::string& json) {
    std::vector<std::string> names;
    static const std::regex member(R"re(^  "([a-z_]+)":)re");
    for (const auto& line : lines(json)) {
        std::smatch m;
        if (std::regex_search(line, m, member)) names.push_back(m[1]);
    }
    return names;
}

}  // namespace

TEST(RealNode, TheSimulatedNodeAnswersAsTheRealOne) {
    World world;
    Peer real(world);
    simtest::Node sim(world.dir(), "sim data");
    sim.start(simtest::Node::Setup({{"SIMCOIN_STARTUP_DELAY", "0"}, {"SIMCOIN_PEERS", "0"}}));
    ASSERT_TRUE(sim.waitReady()) << sim.stderrText();

    const auto dead = simtest::freePort();
    writeFile(world / "real without login.conf", "regtest=1\n[regtest]\nrpcport=" + real.rpcPort() + "\n");
    writeFile(world / "sim without login.conf", "rpcport=" + std::to_string(sim.port()) + "\n");
    std::filesystem::create_directories(world / "no cookie");
    const Side sides[] = {
        {"/usr/bin/litecoin-cli", real.node().conf(), world / "real without login.conf", world / "no cookie",
         dead},
        {std::string(SIMCOIN_BIN_DIR) + "/simcoin-cli", sim.confPath(), world / "sim without login.conf",
         world / "no cookie", dead},
    };

    struct Case {
        const char* what;
        std::vector<std::string> (*args)(const Side&);
    };
    const Case cases[] = {
        {"a method the node does not know",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.conf, "nosuchmethod"};
         }},
        {"a wrong password",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.conf, "-rpcpassword=wrong", "getblockcount"};
         }},
        {"a node that does not listen",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.conf, "-rpcport=" + std::to_string(s.deadPort),
                                             "getblockcount"};
         }},
        {"no credentials and no cookie",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.withoutLogin, "-datadir=" + s.emptyFolder,
                                             "getblockcount"};
         }},
        {"no credentials, and a node that does not listen",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.withoutLogin, "-datadir=" + s.emptyFolder,
                                             "-rpcport=" + std::to_string(s.deadPort), "getblockcount"};
         }},
        {"the peer count of a node without peers",
         [](const Side& s) {
             return std::vector<std::string>{"-conf=" + s.conf, "getconnectioncount"};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto realAnswer = simtest::run(sides[0].cli, c.args(sides[0]));
        const auto simAnswer = simtest::run(sides[1].cli, c.args(sides[1]));
        EXPECT_EQ(simAnswer.status, realAnswer.status);
        EXPECT_EQ(simAnswer.out, realAnswer.out);
        EXPECT_EQ(sameWords(simAnswer.err, sides[1]), sameWords(realAnswer.err, sides[0]));
    }

    // getblockchaininfo: the same members in the same order, nested ones as nested.
    const auto realInfo = simtest::run(sides[0].cli, {"-conf=" + sides[0].conf, "getblockchaininfo"});
    const auto simInfo = simtest::run(sides[1].cli, {"-conf=" + sides[1].conf, "getblockchaininfo"});
    ASSERT_EQ(realInfo.status, 0) << realInfo.err;
    ASSERT_EQ(simInfo.status, 0) << simInfo.err;
    EXPECT_EQ(topMembers(simInfo.out), topMembers(realInfo.out)) << simInfo.out << realInfo.out;
}

}  // namespace pd::test
