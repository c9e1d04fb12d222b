#include "core/OneLine.hpp"

namespace pd {

std::string oneLineFault(std::string_view value) {
    if (value.find('\0') != std::string_view::npos) return "it holds a NUL character";
    if (value.find_first_of("\r\n") != std::string_view::npos) return "it holds a line break";
    return {};
}

std::string singleLineFault(std::string_view line, std::string_view lineEnd) {
    if (line.ends_with(lineEnd)) line.remove_suffix(lineEnd.size());
    return oneLineFault(line);
}

}  // namespace pd
