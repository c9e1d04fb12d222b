#pragma once
#include <string>

#include "core/Profile.hpp"
#include "platform/Platform.hpp"

namespace pd::setup {

// What pacedeck-setup --help prints: the file format with an example, then every window a
// file can name with its elements, read from the windows themselves as they open on a
// copy with no settings (`system` is only looked at, never changed).
std::string setupHelp(Platform& system, const Profile& profile);

}  // namespace pd::setup
