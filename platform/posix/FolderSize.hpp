#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace pd {

// Sum of the sizes of all regular files below a folder; symbolic links are not followed.
// nullopt when the folder, or any folder below it, cannot be read: a partial sum would
// be a wrong number.
std::optional<std::uint64_t> sumFileSizes(const std::string& folder);

}  // namespace pd
