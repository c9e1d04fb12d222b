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
// A getblockchaininfo answer with the block count but without the headers: a node that cannot
// tell how far the chain goes.
bool lacksHeaders(std::string_view output);
// A block-count reading as a height: digits alone, blanks around them allowed.
std::optional<long long> blockHeight(std::string_view reading);

// How a cli call came out, told apart by what the coins' clients print (litecoin-cli 0.21,
// bitcoin-cli and older clients of the same family).
enum class Reply {
    Answered,     // exit status 0 and some output; what it says is read by the caller
    WarmingUp,    // "error code: -28": the node is still loading after a start
    Refused,      // "Authorization failed" (HTTP 401), HTTP 403 (an rpcwhitelist user), no credentials
    Unreachable,  // "Could not connect to the server": nothing answers on the node's RPC port
    OldClient,    // the method is unknown ("Method not found", -32601), or no output at all
    NoHeaders,    // a getblockchaininfo that has the block count but not the headers
    CliMissing,   // the shell cannot find or run the cli program
    Unreadable,   // anything else
};
// The output is the command's, without cmd's echo. An answer is never NoHeaders here: that
// takes reading it.
Reply classify(const CommandResult& result);

// What the node said when it was last asked: how the calls came out and, when both were
// answered, its chain and its peers.
struct NodeReport {
    Reply reply = Reply::Answered;
    ChainInfo chain;
    long long peers = 0;
};
// The getblockchaininfo answer and, when it read, the getconnectioncount one, as the scripts
// printed them (cmd's echo and all). Without the second, the report of the chain alone.
NodeReport readReport(const CommandResult& chainInfo, const CommandResult* peerCount);

// Seconds until the height reaches the headers at the rate seen across the samples (oldest
// first); nothing while the height has not risen between them.
std::optional<std::int64_t> secondsToGo(const std::vector<SyncSample>& recent);
// The blockcounter status's tool tip while the check follows the node:
// "HEIGHT 1006 OF 1300 - 77.38 % - 8 PEERS - ETA 00:00:49" (ETA UNKNOWN without a rate).
std::string progressTip(const SyncSample& now, double progress, std::optional<std::int64_t> toGo);

}  // namespace pd
