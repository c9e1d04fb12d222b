// Simulation settings that make a node start, catch up and stop in well
// under a second, so the suite stays quick.
#pragma once

#include "SimHarness.hpp"

namespace simtest {

inline Env fastEnv(const Env& overrides = {}) {
    Env env{
        {"SIMCOIN_START_HEIGHT", "1000"}, {"SIMCOIN_TARGET", "1100"},    {"SIMCOIN_RATE", "400"},
        {"SIMCOIN_STARTUP_DELAY", "0.2"}, {"SIMCOIN_STOP_DELAY", "0.2"}, {"SIMCOIN_BYTES_PER_BLOCK", "100"},
    };
    for (const auto& [k, v] : overrides) env[k] = v;
    return env;
}

}  // namespace simtest
