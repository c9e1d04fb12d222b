#pragma once
#include <cstddef>
#include <string>

namespace pd::setup {

// What reading a set-up file gave: its text, or why it cannot be one.
struct SetupFileText {
    enum class Problem { None, CannotRead, NotText };
    Problem problem = Problem::None;
    std::string why;   // when there is a problem: the file's name and what is wrong, in plain words
    std::string text;  // UTF-8, without a byte-order mark
};

// A set-up file is a few dozen lines: anything larger is not one.
inline constexpr std::size_t maxSetupFileBytes = 1 << 20;
// How long a pipe may send nothing before it is given up.
inline constexpr int pipeSilenceMs = 10000;

// Reads a set-up file whole. A folder, a device, a file larger than maxSetupFileBytes or a
// pipe that stays silent is refused rather than waited on or read without end; the text
// must be UTF-8 (a UTF-8 byte-order mark, as some editors write, is dropped), and a UTF-16
// file is named as such.
SetupFileText readSetupFile(const std::string& file);

// The same check of a text already read: the text without its byte-order mark, or the reason
// it is no UTF-8 text.
SetupFileText setupText(const std::string& file, std::string bytes);

}  // namespace pd::setup
