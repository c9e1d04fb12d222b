// The node: started as simcoind (or simcoin-qt, which behaves the same but
// has no -daemon). It loads, serves RPC, catches its chain up and stops.
#pragma once

#include "Options.hpp"

namespace simcoin {

struct DaemonIdentity {
    std::string programName;   // simcoind, simcoin-qt, ...
    bool mayDaemonize = true;  // only the headless node forks into the background
};

// Returns the process exit status.
int runDaemon(const DaemonIdentity& who, const CommandLine& commandLine);

}  // namespace simcoin
