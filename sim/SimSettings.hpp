// Settings of the simulation itself (not of the node it imitates): how far
// behind the chain is, how fast it catches up, and which faults to play.
//
// Each comes from, in order of precedence:
//   1. an environment variable SIMCOIN_<NAME>,
//   2. a line "<name>=<value>" in DATADIR/simcoin.conf,
//   3. the built-in default.
// The environment wins so that a test can change one run without touching
// the data folder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace simcoin {

struct SimSettings {
    std::int64_t startHeight = 1000;  // used only when the data folder has no height file
    // Where the chain tops out. A relative target ("+N") means N blocks above
    // the height the node starts at, so every start is behind again.
    std::int64_t target = 1300;
    bool targetRelative = false;
    double blocksPerSecond = 6.0;
    std::int64_t bytesPerBlock = 100000;
    double rpcDelay = 0.0;                  // seconds before the RPC port opens
    double startupDelay = 3.0;              // seconds answering -28 once it is open
    double stopDelay = 1.0;                 // seconds between "stop" and exit
    std::optional<std::int64_t> crashAt;    // exit(1) when the height rises to this
    std::optional<std::int64_t> stuckAt;    // no peers: the chain never rises past this
    std::optional<std::int64_t> stalledAt;  // stalled: the height stops here, the headers run on
    std::int64_t peers = 8;                 // the connection count of a node with peers; 0: none ever
    bool oldTip = false;                    // the newest block is over a day old: always in IBD
    int neverStop = 0;                      // 1: ignore RPC stop; 2: ignore SIGTERM/SIGINT too
    double cliHang = 0.0;                   // client sleeps this long before anything

    // The target for a node that starts at `start`.
    std::int64_t effectiveTarget(std::int64_t start) const {
        return targetRelative ? start + target : target;
    }
};

// Looks an environment variable up; injectable so tests need not touch the
// real environment.
using EnvLookup = std::function<std::optional<std::string>(const std::string&)>;
EnvLookup processEnvironment();

// Reads DATADIR/simcoin.conf (absent is fine; an empty datadir reads no file) and the environment. Returns
// nullopt and sets `error` when a value cannot be read: a typo should not
// silently run a different simulation.
std::optional<SimSettings> loadSimSettings(const std::string& datadir, const EnvLookup& env,
                                           std::string& error);

std::string describe(const SimSettings& s);

}  // namespace simcoin
