#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.hpp"

namespace pd {

// The stamp of a run that went right; every other stamp is a failure of some kind.
inline constexpr std::string_view successStamp = "!!! COMPLETED SUCCESSFULLY !!!";

// One run as the copy's run history keeps it. Times are seconds since 1970, UTC; a value
// the run never learnt (no reading, a folder not measured) is absent.
struct RunRecord {
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::string outcome;
    std::optional<long long> heightBefore;
    std::optional<long long> heightAfter;
    std::optional<long long> downloaded;
    std::int64_t runSeconds = 0;
    std::optional<std::uint64_t> bytesBefore;
    std::optional<std::uint64_t> bytesAfter;

    bool succeeded() const { return outcome == successStamp; }
    bool operator==(const RunRecord&) const = default;
};

// LOGS/EXE-RUN-HISTORY.csv: a header line, then one line a run, oldest first, appended and
// never rewritten, so that a run is judged over weeks. Empty fields are values not known.
inline constexpr std::string_view runHistoryHeader =
    "start,end,outcome,height_before,height_after,blocks_downloaded,run_seconds,folder_bytes_before,"
    "folder_bytes_after";
std::string runHistoryLine(const RunRecord& run);  // without the line break
// Every whole line of a history file; the header and a line cut short are passed over.
std::vector<RunRecord> parseRunHistory(std::string_view text);

// Adds one run at the end, with the header first in a new file. A line cut short by a crash
// of an earlier run is ended first, so that it stays the only damaged line.
Outcome appendRunHistory(Platform& platform, const std::string& path, const RunRecord& run);

// The last `count` runs as a table with a header row, newest first: what the reports
// window shows and `pacedeck --history` prints.
std::string runHistoryTable(const std::vector<RunRecord>& runs, std::size_t count);
inline constexpr std::size_t runHistoryRows = 20;

// "01:02:03"; the hours go past 24.
std::string durationText(std::int64_t seconds);
// A folder size in the largest unit of 1000 that keeps it at least 1: "1.23 GB".
std::string sizeText(std::uint64_t bytes);

}  // namespace pd
