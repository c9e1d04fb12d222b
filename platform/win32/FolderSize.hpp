#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace pd::win32 {

// Sum of the sizes of all files below a folder, taken from the directory listings (no
// file is opened). A reparse point (junction, symbolic link) is counted as an entry of its
// own and never followed. nullopt when the folder or any folder below it cannot be listed:
// a partial sum would be a wrong number.
std::optional<std::uint64_t> sumFileSizes(const std::string& folder);

}  // namespace pd::win32
