#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pd::setup {

// One meaningful line of a set-up file.
struct SetupLine {
    enum class Kind { Section, Set, Press };
    Kind kind;
    int line;           // 1-based line number in the file
    std::string name;   // window, element or button name
    std::string value;  // Set only
};

struct SetupError {
    int line;
    std::string message;
};

struct SetupScript {
    std::vector<SetupLine> lines;
    std::optional<SetupError> error;  // the first line that cannot be read
};

// Reads a set-up file:
//   # comment
//   [WINDOW_NAME]
//   ELEMENT_NAME = value          (the rest of the line, trimmed)
//   ELEMENT_NAME = "a value"      (keeps its spaces; escapes \n \r \t \" \\)
//   press = BUTTON_NAME
// The whole file is read before anything is applied, so a typo changes nothing.
SetupScript parseSetupScript(std::string_view text);

}  // namespace pd::setup
