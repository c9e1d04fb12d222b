#pragma once
#include <string>
#include <string_view>

namespace pd {

class App;

// The block numbers a run reports: where this copy's node stood before the run and after
// it, each this run's own knowledge. The start is the end number of the last run, kept
// only when that run ended cleanly with its node seen to stop: after any other end the
// node may have gone on syncing past its last reading (or still be running), so its height
// is not known.
namespace runblocks {

// The start when no earlier run kept its end number, and when the last one did not end so.
inline constexpr std::string_view neverKept =
    "!!! UNKNOWN - NO EARLIER RUN OF THIS COPY KEPT ITS END BLOCK !!!";
inline constexpr std::string_view notKept =
    "!!! UNKNOWN - THE LAST RUN DID NOT END WITH ITS NODE STOPPED AT A KNOWN BLOCK !!!";
// The end when this run read no block number.
inline constexpr std::string_view noneRead = "!!! UNKNOWN - NO BLOCK NUMBER READ IN THIS RUN !!!";

// Stage 6: the start number. From here on nothing is kept: the node is about to move.
std::string takeStart(App& app);
// Stage 10: the end number from this run's last reading (empty: none).
std::string endNumber(std::string_view runReading);
// Stage 12, the node seen to stop after a run that ended cleanly: its end number is the
// next run's start.
void keepEnd(App& app, std::string_view endNumber);

}  // namespace runblocks
}  // namespace pd
