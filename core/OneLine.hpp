#pragma once
#include <string>
#include <string_view>

namespace pd {

// Why a value cannot stand inside one generated line (a crontab line, a line of a .conf
// file, a script's command): a line break would add a line of someone's choosing, a NUL
// would cut the line short. Empty when the value can stand.
std::string oneLineFault(std::string_view value);

// The same for a whole script or file body, where only the last line end is allowed.
std::string singleLineFault(std::string_view line, std::string_view lineEnd);

}  // namespace pd
