#include <gtest/gtest.h>

#include "main/NodeAnswers.hpp"

namespace pd::test {

// A client's answer as printed, and what the sync check reads from it.
TEST(NodeAnswers, ChainInfoIsReadFromTheTopLevelAndJunkGivesNothing) {
    struct Case {
        const char* name;
        std::string output;
        std::optional<ChainInfo> expected;
    };
    const Case cases[] = {
        {"a node's answer",
         "{\n  \"chain\": \"main\",\n  \"blocks\": 1040,\n  \"headers\": 1300,\n  \"verificationprogress\": "
         "0.8,\n  \"initialblockdownload\": true\n}\n",
         ChainInfo{1040, 1300, true, 0.8}},
        {"nested members of the same names are not the node's",
         R"({"softforks": {"x": {"blocks": 7, "headers": 9}}, "headers": 20, "blocks": 10})",
         ChainInfo{10, 20, false, 0.5}},
        {"a name as a value and escaped quotes",
         R"({"warnings": "blocks \" here", "chain": "blocks", "blocks": 5, )"
         R"("headers": 5, "initialblockdownload": false})",
         ChainInfo{5, 5, false, 1.0}},
        {"a warning line before the object", "warning: old config\n{\"blocks\": 3, \"headers\": 4}",
         ChainInfo{3, 4, false, 0.75}},
        {"a progress out of range is the node's count instead",
         R"({"blocks": 1, "headers": 4, "verificationprogress": 7})", ChainInfo{1, 4, false, 0.25}},
        {"no headers", R"({"blocks": 1040})", std::nullopt},
        {"a count that is no number", R"({"blocks": "1040", "headers": 1300})", std::nullopt},
        {"a negative count", R"({"blocks": -1, "headers": 1300})", std::nullopt},
        {"cut off", R"({"blocks": 1040, "head)", std::nullopt},
        {"not JSON", "error: couldn't connect to server", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto got = parseChainInfo(c.output);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->blocks, c.expected->blocks);
        EXPECT_EQ(got->headers, c.expected->headers);
        EXPECT_EQ(got->initialDownload, c.expected->initialDownload);
        EXPECT_DOUBLE_EQ(got->progress, c.expected->progress);
    }
    EXPECT_EQ(parsePeerCount(" 8\r\n"), 8);
    EXPECT_EQ(parsePeerCount("0\n"), 0);
    for (const char* junk : {"", "-1", "8 peers", "error code: -28"})
        EXPECT_FALSE(parsePeerCount(junk)) << junk;
}

// The exact texts and exit statuses of litecoin-cli 0.21 against a regtest litecoind, of the
// shells when the program is gone, and of older clients.
TEST(NodeAnswers, EachWayACliCallComesOutIsToldApart) {
    const std::pair<CommandResult, Reply> cases[] = {
        {{true, 0, "0\n"}, Reply::Answered},
        {{true, 89, "error code: -32601\nerror message:\nMethod not found\n"}, Reply::OldClient},
        {{true, 0, " \r\n"}, Reply::OldClient},
        {{true, 28, "error code: -28\nerror message:\nLoading block index...\n"}, Reply::WarmingUp},
        {{true, 28, "error code: -28\nerror message:\nRewinding blocks...\n"}, Reply::WarmingUp},
        {{true, 1, "error: Authorization failed: Incorrect rpcuser or rpcpassword\n"}, Reply::Refused},
        {{true, 1, "error: server returned HTTP error 403\n"}, Reply::Refused},
        {{true, 1, "error: incorrect rpcuser or rpcpassword (authorization failed)\n"}, Reply::Refused},
        {{true, 1,
          "error: Could not locate RPC credentials. No authentication cookie could be found, and RPC "
          "password "
          "is not set.  See -rpcpassword and -stdinrpcpass.  Configuration file: (/c/n.conf)\n"},
         Reply::Refused},
        {{true, 1,
          "error: Could not connect to the server 127.0.0.1:40633\n\nMake sure the litecoind server is "
          "running "
          "and that you are connecting to the correct RPC port.\n"},
         Reply::Unreachable},
        {{true, 127, "sh: 1: /opt/ltc/litecoin-cli: not found\n"}, Reply::CliMissing},
        {{true, 1,
          "Can't recognize '\"C:\\LTC\\litecoin-cli.exe\" -conf=x getblockcount' as an internal or external "
          "command, or batch script.\r\n"},
         Reply::CliMissing},
        {{true, 1,
          "'\"C:\\LTC\\litecoin-cli.exe\"' is not recognized as an internal or external command,\r\noperable "
          "program or batch file.\r\n"},
         Reply::CliMissing},
        {{true, 1, "error: no response from server\n"}, Reply::Unreadable},
        {{false, -1, "cannot start"}, Reply::Unreadable},
    };
    for (const auto& [result, reply] : cases) EXPECT_EQ(classify(result), reply) << result.output;
}

TEST(NodeAnswers, TheEtaFollowsTheRecentRateAndIsUnknownWithoutOne) {
    const SyncSample a{1000, 1000, 1300, 8}, b{1010, 1100, 1300, 8}, c{1020, 1100, 1300, 8};
    EXPECT_EQ(secondsToGo({a, b}), 20);            // 200 left at 10 a second
    EXPECT_EQ(secondsToGo({a, c}), 40);            // 200 left at 5 a second
    EXPECT_EQ(secondsToGo({b, c}), std::nullopt);  // the height stood still
    EXPECT_EQ(secondsToGo({a}), std::nullopt);
    EXPECT_EQ(secondsToGo({a, SyncSample{1001, 1299, 1300, 8}}), 1);  // a last block is never "now"
    EXPECT_EQ(progressTip(b, 0.846154, 20), "HEIGHT 1100 OF 1300 - 84.62 % - 8 PEERS - ETA 00:00:20");
    EXPECT_EQ(progressTip(b, 0.5, 100 * 3600 + 61),
              "HEIGHT 1100 OF 1300 - 50.00 % - 8 PEERS - ETA 100:01:01");
    EXPECT_EQ(progressTip(c, 0.5, std::nullopt), "HEIGHT 1100 OF 1300 - 50.00 % - 8 PEERS - ETA UNKNOWN");
}

}  // namespace pd::test
