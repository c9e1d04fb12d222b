#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.hpp"

namespace pd::win32 {

// The program keeps its texts in UTF-8; the wide-character API speaks UTF-16.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// The path as the wide API takes it beyond 260 characters: made absolute, then marked
// "\\?\" (or "\\?\UNC\" for a share) so that no length limit applies.
std::wstring longPath(std::string_view path);

// A Windows error code in plain words (the system's own message, without its line end).
std::string errorText(unsigned long code);
// "what: message" for GetLastError().
std::string lastError(const std::string& what);

// UTF-8 text in the given code page. A character the page cannot hold is refused with a
// message naming it: cmd would read a "?" in its place, which is a different path or value.
struct CodePageText {
    std::optional<std::string> bytes;
    std::string error;
};
CodePageText toCodePage(std::string_view utf8, unsigned int codePage);

}  // namespace pd::win32
