#pragma once
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pd {

// One poll of a run as the sync check saw it: when, how high the chain was, how far the
// headers reached, and how many peers the node had.
struct SyncSample {
    std::int64_t unixSeconds = 0;
    long long height = 0;
    long long headers = 0;
    long long peers = 0;
    bool operator==(const SyncSample&) const = default;
};

// The per-run history file LOGS/EXE-SYNC-HISTORY.csv: a header line, then one line per poll,
// "2026-12-08T16:30:05Z,1006,1300,8". The time is UTC so a run across midnight or a clock
// change still reads in order, and spreadsheets take the form as it is.
inline constexpr std::string_view syncHistoryHeader = "time,height,headers,peers";
std::string syncHistoryLine(const SyncSample& sample);  // without the line break
// Every well-formed line of a history file; the header, blank and damaged lines (a run cut
// off mid-write) are skipped, so a chart can still be drawn from what was written.
std::vector<SyncSample> parseSyncHistory(std::string_view text);

// A whole number that is the whole text: no blanks, signs only where the type has them.
template <typename T>
bool wholeNumber(std::string_view text, T& out) {
    if (text.empty()) return false;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end;
}

// "2026-12-08T16:30:05Z" <-> seconds since 1970 (UTC, no leap seconds).
std::string utcStamp(std::int64_t unixSeconds);
std::optional<std::int64_t> parseUtcStamp(std::string_view stamp);

}  // namespace pd
