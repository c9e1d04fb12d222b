#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "main/SyncHistory.hpp"
#include "platform/Platform.hpp"

namespace pd {

// What the node says of its chain in answer to getblockchaininfo.
struct ChainInfo {
    long long blocks = 0;
    long long headers = 0;
    bool initialDownload = false;
    double progress = 0;  // 0..1, the node's own verification progress
};

// A script's output as the cli wrote it. Wine's cmd writes its echo of the script's command
// (a blank line, then a prompt such as "C:\PD\BATS>" and the command) ahead of the output;
// those lines are dropped, so a failed cli leaves nothing rather than an echo full of digits.
std::string_view withoutCommandEcho(std::string_view text);

// The fields of a getblockchaininfo answer, read from the top level of its object only (a
// nested object may hold members of the same names). Text around the object, other
// members and their nesting are passed over; without both counts there is no answer.
std::optional<ChainInfo> parseChainInfo(std::string_view output);
// A getconnectioncount answer: one non-negative number, blanks around it allowed.
std::optional<long long> parsePeerCount(std::string_view output);
// A client of an older coin: it refuses the method ("Method not found", error -32601) or
// answers nothing at all.
bool cannotAnswer(const CommandResult& result);

// Seconds until the height reaches the headers at the rate seen across the samples (oldest
// first); nothing while the height has not risen between them.
std::optional<std::int64_t> secondsToGo(const std::vector<SyncSample>& recent);
// The blockcounter status's tool tip while the check follows the node:
// "HEIGHT 1006 OF 1300 - 77.38 % - 8 PEERS - ETA 00:00:49" (ETA UNKNOWN without a rate).
std::string progressTip(const SyncSample& now, double progress, std::optional<std::int64_t> toGo);

}  // namespace pd
