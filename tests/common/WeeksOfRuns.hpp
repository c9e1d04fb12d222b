#pragma once
#include <string>

#include "main/RunHistory.hpp"

namespace pd::test {

// The run history of a copy that has run for a few weeks, one run of them failed.
inline std::string weeksOfRuns() {
    std::string text = std::string(runHistoryHeader) + "\n";
    for (std::int64_t week = 0; week < 4; ++week) {
        const std::int64_t start = 1796747400 + week * 604800, seconds = 1500 + 240 * week;
        const long long before = 840000 + 2000 * week, blocks = week == 2 ? 310 : 1840 + 100 * week;
        text += runHistoryLine({start, start + seconds,
                                week == 2 ? "!!! NODE STUCK !!!" : std::string(successStamp), before,
                                before + blocks, blocks, seconds, std::uint64_t(before) * 712'000,
                                std::uint64_t(before + blocks) * 712'000}) +
                "\n";
    }
    return text;
}

}  // namespace pd::test
