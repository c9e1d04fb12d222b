// The command-line client: sends one command to the node and prints the
// answer the way the real client does, so "simcoin-cli getblockcount > f"
// leaves f empty on any error and the exit status tells what went wrong.
#pragma once

#include "Options.hpp"

namespace simcoin {

int runClient(const std::string& programName, const CommandLine& commandLine);

// The status the client exits with for an RPC error code: its absolute
// value cut to the 8 bits a process status holds, and never 0 so that an
// error can never look like success.
int exitStatusForRpcError(long long code);

}  // namespace simcoin
