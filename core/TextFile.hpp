#pragma once
#include <string>
#include <string_view>

#include "core/Profile.hpp"
#include "platform/Platform.hpp"

namespace pd {

// UTF-8 text as Windows-1252 bytes, the ANSI code page of western Windows systems;
// a character the code page lacks, or a byte that is not UTF-8, becomes "?".
std::string windows1252FromUtf8(std::string_view utf8);
// The same, refusing a text with a character the code page lacks (the reason names it).
Outcome windows1252Text(std::string_view utf8, std::string& bytes);

// The bytes of a text file written by the profile's convention (encoding only: the text
// already carries the profile's line ends).
std::string textFileBytes(const Profile& profile, std::string_view utf8);

// The bytes that writeTextFile writes for that text, or why it would refuse it.
Outcome textFileContent(Platform& platform, const Profile& profile, const std::string& path,
                        std::string_view utf8, bool script, std::string& bytes);

// Writes a whole text file in the profile's encoding (under the Windows profile the code page
// cmd reads, which the platform knows); a script is made runnable by its owner, a private file
// (one that holds a password) readable by its owner alone.
Outcome writeTextFile(Platform& platform, const Profile& profile, const std::string& path,
                      std::string_view utf8, bool script = false, bool privateToUser = false);

}  // namespace pd
