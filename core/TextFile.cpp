#include "core/TextFile.hpp"

#include <array>
#include <cstdint>

#include "core/OneLine.hpp"

namespace pd {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252 (0 where the code page has none).
constexpr std::array<std::uint16_t, 32> highControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// 0 when the code page has no byte for the character.
char windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < highControls.size(); ++i)
        if (highControls[i] != 0 && highControls[i] == cp) return static_cast<char>(0x80 + i);
    return 0;
}

// Decodes one UTF-8 sequence at `pos`; an invalid one gives false and moves on by one byte.
bool decodeUtf8(std::string_view s, std::size_t& pos, char32_t& cp) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char lead = byte(pos);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || pos + length > s.size()) {
        ++pos;
        return false;
    }
    char32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(pos + i) & 0xC0) != 0x80) {
            ++pos;
            return false;
        }
        value = (value << 6) | (byte(pos + i) & 0x3F);
    }
    static constexpr std::array<char32_t, 5> smallest = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return false;
    }
    pos += length;
    cp = value;
    return true;
}

// Converts the text; onMissing gets the position of each character (or stray byte) the code
// page lacks and says whether to go on with a "?" for it.
template <typename OnMissing>
std::string toWindows1252(std::string_view utf8, OnMissing onMissing) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t cp = 0;
        const bool decoded = decodeUtf8(utf8, pos, cp);
        const char byte = decoded ? windows1252Byte(cp) : 0;
        if (decoded && (byte != 0 || cp == 0)) {
            out += byte;
            continue;
        }
        if (!onMissing(start, pos)) break;
        out += '?';
    }
    return out;
}

}  // namespace

std::string windows1252FromUtf8(std::string_view utf8) {
    return toWindows1252(utf8, [](std::size_t, std::size_t) { return true; });
}

Outcome windows1252Text(std::string_view utf8, std::string& bytes) {
    std::string missing;
    bytes = toWindows1252(utf8, [&](std::size_t start, std::size_t end) {
        missing = utf8.substr(start, end - start);
        return false;
    });
    if (missing.empty()) return Outcome::success();
    bytes.clear();
    return Outcome::failure("the character \"" + missing + "\" cannot be written in the code page 1252");
}

std::string textFileBytes(const Profile& profile, std::string_view utf8) {
    if (profile.encoding == TextEncoding::CmdCodePage) return windows1252FromUtf8(utf8);
    return std::string(utf8);
}

Outcome textFileContent(Platform& platform, const Profile& profile, const std::string& path,
                        std::string_view utf8, bool script, std::string& bytes) {
    // A script is one command line: a second line or a cut one would run something else.
    if (script)
        if (auto fault = singleLineFault(utf8, profile.lineEnd); !fault.empty())
            return Outcome::failure("the command for " + path + " was not written: " + fault);
    if (profile.encoding != TextEncoding::CmdCodePage) {
        bytes = utf8;
        return Outcome::success();
    }
    if (auto converted = platform.batchText(utf8, bytes); !converted)
        return Outcome::failure("cannot write " + path + ": " + converted.error);
    return Outcome::success();
}

Outcome writeTextFile(Platform& platform, const Profile& profile, const std::string& path,
                      std::string_view utf8, bool script, bool privateToUser) {
    std::string bytes;
    if (auto content = textFileContent(platform, profile, path, utf8, script, bytes); !content)
        return content;
    return platform.writeFile(path, bytes, script, privateToUser);
}

}  // namespace pd
