#include <gtest/gtest.h>

#include "main/SyncVerdict.hpp"

namespace pd::test {

// The verdict on the node's answers and the stall clock (30 minutes here), after any poll
// and once the block counts are confirmed. The run's own answers go through it in the
// blockcounter's tests; these are the rules at their edges.
TEST(SyncVerdict, SuccessNeedsConfirmedCountsAndANodeThatSaysItCaughtUpWithAPeer) {
    using Next = SyncVerdict::Next;
    constexpr std::int64_t limit = 30 * 60;
    const auto chain = [](long long blocks, long long headers, bool ibd, long long peers) {
        return NodeReport{Reply::Answered, ChainInfo{blocks, headers, ibd, 0.5}, peers};
    };
    const auto said = [](Reply reply) { return NodeReport{reply, {}, 0}; };
    const std::string forLimit = " - NO NEW BLOCK FOR 00:30:00 !!!";
    const struct {
        NodeReport node;
        bool confirmed;
        std::int64_t stalled;
        Next next;
        std::string status;
        std::string_view stamp;
    } cases[] = {
        {chain(1300, 1300, false, 8), true, 60, Next::CaughtUp, "", {}},
        {chain(1300, 1300, false, 8), false, limit, Next::PollOn, "", {}},  // caught up, not yet confirmed
        {chain(1300, 1300, false, 0), true, 60, Next::PollOn, "!!! NO PEERS !!!", {}},  // a lone, recent tip
        // just started, no headers heard yet; then a tip older than a day, its height stood
        {chain(1040, 1040, true, 8), true, 60, Next::PollOn, "!!! NODE BEHIND - 1040 OF 1040 !!!", {}},
        {chain(1040, 1040, true, 8), true, limit, Next::CaughtUp, "", {}},
        {chain(1040, 1040, true, 0), true, limit, Next::Fault, "!!! NODE STUCK - 1040 OF 1040" + forLimit,
         nodeStuckStamp},
        {said(Reply::WarmingUp), false, limit, Next::Fault,
         "!!! NODE NOT ANSWERING - STILL WARMING UP (ERROR -28)" + forLimit, nodeNotAnsweringStamp},
        {said(Reply::Refused),
         true,
         60,
         Next::PollOn,
         "!!! THE NODE REFUSES THE CREDENTIALS - CHECK RPCUSER / RPCPASSWORD IN THE CONF - POLLING ON !!!",
         {}},
        {said(Reply::Unreadable), false, limit, Next::Fault,
         "!!! NODE NOT ANSWERING - NO BLOCKS / HEADERS IN ITS ANSWER - AT 1040" + forLimit,
         nodeNotAnsweringStamp},
        {said(Reply::Unreachable),
         false,
         60,
         Next::PollOn,
         "!!! NODE NOT REACHABLE - NOTHING ANSWERS ON ITS RPC PORT - POLLING ON !!!",
         {}},
        {said(Reply::NoHeaders),
         false,
         0,
         Next::FallBack,
         "!!! SYNC CHECK OFF - THE NODE'S GETBLOCKCHAININFO HAS NO HEADERS - FINISHING WHEN IDENTICAL AS "
         "BEFORE !!!",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        const auto v = judgeSync({c.node, c.confirmed, c.stalled, limit, "1040"});
        EXPECT_EQ(v.next, c.next);
        EXPECT_EQ(v.status, c.status);
        EXPECT_EQ(v.stamp, c.stamp);
    }
}

}  // namespace pd::test
