#pragma once
#include <array>
#include <string>
#include <string_view>

#include "core/HomeLayout.hpp"
#include "core/Profile.hpp"

namespace pd {

// What the node commands are made of: the crypto settings' fields, the configuration
// file, the home folder of the block-count log and the executable's name.
struct NodeCommandFields {
    std::string qtFolder;      // QF
    std::string qtName;        // QN
    std::string daemonFolder;  // DF, the folder of the daemon and of the cli
    std::string daemonName;    // DN
    std::string cliName;       // CN
    std::string chainFolder;   // CH
    std::string conf;          // CONF
    std::string home;          // HOME
    std::string exe;           // EXE
    std::string qtOption;      // QO: "", "-disablewallet=0" or "-disablewallet=1"
    std::string daemonOption;  // DO
    std::string cliOption;     // CO: "", "-daemon=1" or "-daemon=0"
};

struct NodeCommands {
    std::string qt;
    std::string daemon;
    std::string cliStop;
    std::string blockcount;
    std::string chainInfo;  // the sync check's two questions; their answers are read as printed
    std::string peerCount;
};

// The command lines, each the script prefix, the quoted program path and its
// arguments. A value the profile's shell would split or act on is quoted so the program
// receives it exactly; every other value stands as typed, and an empty option leaves its
// two surrounding spaces. The cli's commands name the data folder after the conf, when
// one is set.
NodeCommands buildNodeCommands(const Profile& profile, const NodeCommandFields& f);

// The node scripts, in the order Save writes them.
inline constexpr std::array<Script, 6> nodeScripts = {Script::RunQt,        Script::RunDaemon,
                                                      Script::RunCliStop,   Script::RunBlockcounter,
                                                      Script::RunChainInfo, Script::RunPeerCount};

}  // namespace pd
