#include <gtest/gtest.h>

#include "main/SyncVerdict.hpp"

namespace pd::test {

namespace {
using Next = SyncVerdict::Next;
constexpr std::int64_t limit = 30 * 60;

NodeReport node(long long blocks, long long headers, bool initialDownload, long long peers) {
    return {Reply::Answered, ChainInfo{blocks, headers, initialDownload, 0.5}, peers};
}
NodeReport said(Reply reply) {
    return {reply, {}, 0};
}
}  // namespace

// The verdict on the node's answers and the stall clock, after any poll and once the
// block counts are confirmed.
TEST(SyncVerdict, SuccessNeedsConfirmedCountsAndANodeThatSaysItCaughtUpWithAPeer) {
    struct Case {
        const char* name;
        NodeReport node;
        bool confirmed;
        std::int64_t stalled;
        Next next;
        std::string status;
        std::string_view stamp;
    };
    const std::string forLimit = " - NO NEW BLOCK FOR 00:30:00 !!!";
    const Case cases[] = {
        {"caught up", node(1300, 1300, false, 8), true, 60, Next::CaughtUp, "", {}},
        {"caught up, counts not yet confirmed", node(1300, 1300, false, 8), false, 60, Next::PollOn, "", {}},
        {"a lone node with a recent tip",
         node(1300, 1300, false, 0),
         true,
         60,
         Next::PollOn,
         "!!! NO PEERS !!!",
         {}},
        {"behind",
         node(1040, 1300, true, 8),
         true,
         60,
         Next::PollOn,
         "!!! NODE BEHIND - 1040 OF 1300 !!!",
         {}},
        {"just started, no headers heard yet",
         node(1040, 1040, true, 8),
         true,
         60,
         Next::PollOn,
         "!!! NODE BEHIND - 1040 OF 1040 !!!",
         {}},
        {"a tip older than a day, its height stood",
         node(1040, 1040, true, 8),
         true,
         limit,
         Next::CaughtUp,
         "",
         {}},
        {"no peers to the limit", node(0, 0, true, 0), false, limit, Next::Fault,
         "!!! NODE STUCK - 0 OF 0" + forLimit, nodeStuckStamp},
        {"stalled behind its headers", node(1040, 1300, true, 8), true, limit + 5, Next::Fault,
         "!!! NODE STUCK - 1040 OF 1300" + forLimit, nodeStuckStamp},
        {"warming up",
         said(Reply::WarmingUp),
         false,
         60,
         Next::PollOn,
         "!!! NODE WARMING UP (ERROR -28) - POLLING ON !!!",
         {}},
        {"warming up to the limit", said(Reply::WarmingUp), false, limit, Next::Fault,
         "!!! NODE NOT ANSWERING - STILL WARMING UP (ERROR -28)" + forLimit, nodeNotAnsweringStamp},
        {"credentials refused",
         said(Reply::Refused),
         true,
         60,
         Next::PollOn,
         "!!! THE NODE REFUSES THE CREDENTIALS - CHECK RPCUSER / RPCPASSWORD IN THE CONF - POLLING ON !!!",
         {}},
        {"credentials refused to the limit", said(Reply::Refused), false, limit, Next::Fault,
         "!!! THE NODE REFUSES THE CREDENTIALS" + forLimit, credentialsRefusedStamp},
        {"not reachable to the limit", said(Reply::Unreachable), false, limit, Next::Fault,
         "!!! NODE NOT ANSWERING - NOTHING ON ITS RPC PORT" + forLimit, nodeNotAnsweringStamp},
        {"unreadable to the limit", said(Reply::Unreadable), false, limit, Next::Fault,
         "!!! NODE NOT ANSWERING - NO BLOCKS / HEADERS IN ITS ANSWER - AT 1040" + forLimit,
         nodeNotAnsweringStamp},
        {"the cli is gone: at the first poll", said(Reply::CliMissing), false, 0, Next::Fault,
         "!!! CLI MISSING - THE SHELL CANNOT FIND OR RUN THE CLI PROGRAM - CHECK THE CRYPTO SETTINGS !!!",
         cliMissingStamp},
        {"an old client",
         said(Reply::OldClient),
         true,
         limit,
         Next::FallBack,
         "!!! SYNC CHECK OFF - THE CLI CANNOT ANSWER GETBLOCKCHAININFO / GETCONNECTIONCOUNT - FINISHING WHEN "
         "IDENTICAL AS BEFORE !!!",
         {}},
        {"no headers in the answer",
         said(Reply::NoHeaders),
         false,
         0,
         Next::FallBack,
         "!!! SYNC CHECK OFF - THE NODE'S GETBLOCKCHAININFO HAS NO HEADERS - FINISHING WHEN IDENTICAL AS "
         "BEFORE !!!",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto v = judgeSync({c.node, c.confirmed, c.stalled, limit, "1040"});
        EXPECT_EQ(v.next, c.next);
        EXPECT_EQ(v.status, c.status);
        EXPECT_EQ(v.stamp, c.stamp);
    }
}

}  // namespace pd::test
