#include "main/SyncVerdict.hpp"

#include "core/TimeOfDay.hpp"

namespace pd {

namespace {

using Next = SyncVerdict::Next;

// What stands on the status line between polls while the node cannot say it caught up.
std::string standing(const NodeReport& node) {
    switch (node.reply) {
        case Reply::Answered:
            if (node.peers == 0) return std::string(noPeersStatus);
            return "!!! NODE BEHIND - " + std::to_string(node.chain.blocks) + " OF " +
                   std::to_string(node.chain.headers) + " !!!";
        case Reply::WarmingUp:
            return "!!! NODE WARMING UP (ERROR -28) - POLLING ON !!!";
        case Reply::Refused:
            return "!!! THE NODE REFUSES THE CREDENTIALS - CHECK RPCUSER / RPCPASSWORD IN THE CONF - POLLING "
                   "ON !!!";
        case Reply::Unreachable:
            return "!!! NODE NOT REACHABLE - NOTHING ANSWERS ON ITS RPC PORT - POLLING ON !!!";
        default:
            return "!!! SYNC CHECK - NO BLOCKS / HEADERS IN THE NODE'S ANSWER - POLLING ON !!!";
    }
}

// The run's end when the height has stood for the stall limit: the stamp says what the node
// was doing meanwhile.
SyncVerdict stalled(const SyncFacts& f) {
    const auto forLimit =
        " - NO NEW BLOCK FOR " + TimeOfDay(static_cast<int>(f.limitSeconds)).hhmmss() + " !!!";
    const auto& node = f.node;
    switch (node.reply) {
        case Reply::Answered:
            return {Next::Fault,
                    "!!! NODE STUCK - " + std::to_string(node.chain.blocks) + " OF " +
                        std::to_string(node.chain.headers) + forLimit,
                    nodeStuckStamp};
        case Reply::Refused:
            return {Next::Fault, "!!! THE NODE REFUSES THE CREDENTIALS" + forLimit, credentialsRefusedStamp};
        case Reply::WarmingUp:
            return {Next::Fault, "!!! NODE NOT ANSWERING - STILL WARMING UP (ERROR -28)" + forLimit,
                    nodeNotAnsweringStamp};
        case Reply::Unreachable:
            return {Next::Fault, "!!! NODE NOT ANSWERING - NOTHING ON ITS RPC PORT" + forLimit,
                    nodeNotAnsweringStamp};
        default: {
            const auto at = f.height.empty() ? std::string() : " - AT " + f.height;
            return {Next::Fault, "!!! NODE NOT ANSWERING - NO BLOCKS / HEADERS IN ITS ANSWER" + at + forLimit,
                    nodeNotAnsweringStamp};
        }
    }
}

}  // namespace

SyncVerdict judgeSync(const SyncFacts& f) {
    const auto& node = f.node;
    const bool stood = f.stalledSeconds >= f.limitSeconds;
    switch (node.reply) {
        case Reply::CliMissing:
            // A program file does not come back by itself, and every later poll (and the cli
            // stop) would fail the same way: waiting out the stall limit would only leave the
            // node unwatched for longer.
            return {
                Next::Fault,
                "!!! CLI MISSING - THE SHELL CANNOT FIND OR RUN THE CLI PROGRAM - CHECK THE CRYPTO SETTINGS "
                "!!!",
                cliMissingStamp};
        case Reply::OldClient:
            return {Next::FallBack,
                    "!!! SYNC CHECK OFF - THE CLI CANNOT ANSWER GETBLOCKCHAININFO / GETCONNECTIONCOUNT - "
                    "FINISHING WHEN IDENTICAL AS BEFORE !!!",
                    {}};
        case Reply::NoHeaders:
            return {Next::FallBack,
                    "!!! SYNC CHECK OFF - THE NODE'S GETBLOCKCHAININFO HAS NO HEADERS - FINISHING WHEN "
                    "IDENTICAL AS BEFORE !!!",
                    {}};
        default:
            break;
    }
    // The rule the whole check exists for: a run is a success only when its block counts
    // agreed three times AND the node itself says it has caught up: every block it has
    // headers for, at least one peer to have heard of newer ones from, and out of its initial
    // download. A node that says anything else is polled on, and once its height has not risen
    // for the stall limit the run ends as a fault, never as a success. "Initial download" is
    // also what a synced node says when its chain's tip is older than a day; with a peer and
    // no header ahead after the stall limit, that tip is the newest there is.
    const auto& chain = node.chain;
    const bool caughtUp = node.reply == Reply::Answered && node.peers > 0 && chain.blocks >= chain.headers &&
                          (!chain.initialDownload || stood);
    if (caughtUp) return {f.countsConfirmed ? Next::CaughtUp : Next::PollOn, {}, {}};
    if (stood) return stalled(f);
    return {Next::PollOn, standing(node), {}};
}

}  // namespace pd
