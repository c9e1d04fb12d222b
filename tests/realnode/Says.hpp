// What a run says about its node, in one place: every text the real-node runs look for in
// the statuses, stamps, report and mail. A wording that changes is changed here alone.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace pd::test::says {

inline bool has(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

inline constexpr auto completed = "!!! COMPLETED SUCCESSFULLY !!!";

// The status while the node has no peer to catch up from.
inline bool noPeers(std::string_view status) {
    return has(status, "NO PEERS");
}

// The status once the run has given up on a node whose height stood for the stall limit.
inline bool stuck(std::string_view status) {
    return has(status, "NODE STUCK");
}

// The last-run stamps of a run that gave up on its node: stuck, or without peers.
inline bool gaveUpStamp(std::string_view stamp) {
    return stamp == "!!! NODE STUCK !!!" || (has(stamp, "NO PEERS") && has(stamp, "!!!"));
}

// The end report's block number lines: a start this run does not know is said to be unknown.
inline constexpr auto beforeTitle = "Last Know Block Number BEFORE Update:";
inline constexpr auto afterTitle = "Last Know Block Number AFTER Update:";
inline constexpr auto downloadedTitle = "Number Of Blocks Downloaded:";
inline constexpr auto endSizeTitle = "Blockchain END Folder Size:";
inline bool unknownNumber(std::string_view line) {
    return has(line, "UNKNOWN");
}
// Unknown because the start is: the end is known and the line must not say otherwise.
inline bool downloadedFromAnUnknownStart(std::string_view line) {
    return has(line, "UNKNOWN") && has(line, "BEFORE") && !has(line, "AFTER");
}

// A status of the run's wait for its node to end names the process it waits for: its
// process id, data folder or conf (another copy's node may carry the same program name).
inline bool namesTheNode(std::string_view status, pid_t pid, std::string_view datadir,
                         std::string_view conf) {
    return has(status, std::to_string(pid)) || has(status, datadir) || has(status, conf);
}

}  // namespace pd::test::says
