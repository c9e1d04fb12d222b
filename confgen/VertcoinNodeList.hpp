#pragma once
#include <string>
#include <string_view>

namespace pd {

// The Vertcoin node list of the VTC preset: 66 "addnode=" lines, each ended by the given
// line end. The addresses come from the documentation ranges (192.0.2.0/24,
// 198.51.100.0/24, 203.0.113.0/24): nobody can vouch today for which public peers exist,
// so the list is a template in the right shape that the user replaces with current peers.
std::string vertcoinNodeList(std::string_view lineEnd);

}  // namespace pd
