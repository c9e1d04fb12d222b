#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "main/NodeAnswers.hpp"

namespace pd {

// The last-run stamps of the runs the sync check ends as faults.
inline constexpr std::string_view nodeStuckStamp = "!!! NODE STUCK !!!";
inline constexpr std::string_view nodeNotAnsweringStamp = "!!! NODE NOT ANSWERING !!!";
inline constexpr std::string_view credentialsRefusedStamp = "!!! CREDENTIALS REFUSED !!!";
inline constexpr std::string_view cliMissingStamp = "!!! CLI MISSING !!!";
// What stands on the status line while the node has no peer to sync from.
inline constexpr std::string_view noPeersStatus = "!!! NO PEERS !!!";

// Everything the verdict depends on: the node's answers and the stall clock.
struct SyncFacts {
    NodeReport node;
    bool countsConfirmed = false;     // the block counts agreed through the verify and triple check
    std::int64_t stalledSeconds = 0;  // since the height last rose, or since the run began
    std::int64_t limitSeconds = 0;    // STALL LIMIT
    std::string height;               // the last height read, for the status when the node did not say
};

struct SyncVerdict {
    enum class Next {
        PollOn,    // keep polling; status is what stands between the polls (empty: nothing to say)
        CaughtUp,  // the node agrees with the block counts: finish as always
        FallBack,  // the cli cannot tell: the check is off for the run, which finishes as before
        Fault,     // the run ends as the failure that stamp names
    };
    Next next = Next::PollOn;
    std::string status;
    std::string_view stamp;
};

SyncVerdict judgeSync(const SyncFacts& facts);

}  // namespace pd
