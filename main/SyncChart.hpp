#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "main/RunHistory.hpp"
#include "main/SyncHistory.hpp"

namespace pd {

// The drawing's size and its plot area, in SVG user units.
struct SyncChartFrame {
    static constexpr double width = 800, height = 400;
    static constexpr double left = 105, right = 760, top = 50, bottom = 330;
};

// A standalone SVG 1.1 picture of a run: the chain's height and the headers' reach against
// the time since the first poll, with the spans without peers shaded. The samples are drawn
// in the order of the file, so a clock set back mid-run shows as a line going back rather
// than as a silently re-sorted run.
std::string syncChartSvg(const std::vector<SyncSample>& samples, std::string_view title);

// The same kind of picture of a copy's runs, oldest on the left: the blocks each run
// downloaded as bars, its run time as a line on the right-hand scale, and each run that did
// not end in success marked with a cross (and its bar in the failure's colour).
std::string runHistoryChartSvg(const std::vector<RunRecord>& runs, std::string_view title);

// Text made safe for XML character data and attribute values.
std::string xmlEscaped(std::string_view text);

}  // namespace pd
