// Where the node and the client find the data folder and the configuration
// file, resolved the same way on both sides so they agree.
#pragma once

#include <optional>
#include <string>

#include "Options.hpp"

namespace simcoin {

inline constexpr int defaultRpcPort = 18443;
inline constexpr const char* confFileName = "simcoin.conf";

// -datadir, else ~/.simcoin.
std::string dataDirFrom(const OptionList& commandLine);
// -conf, taken relative to the data folder when it is a relative path (as the
// node does), else DATADIR/simcoin.conf. `explicitConf` tells whether -conf
// was given, because only a named file must exist.
std::string confPathFrom(const OptionList& commandLine, const std::string& datadir, bool& explicitConf);

// The last command-line value of an option, if given.
std::optional<std::string> lastOption(const OptionList& list, const std::string& name);

std::string baseName(const std::string& path);

}  // namespace simcoin
