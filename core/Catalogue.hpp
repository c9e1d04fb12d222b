#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace pd::catalogue {

// Where a window remembers its place: prefix + "-Left" etc. (the power autotimer window
// joins with "_"). Width and Height are read but never written.
struct Geometry {
    std::string_view window;
    std::string_view prefix;
    char joiner;
    int width;
    int height;
    std::string_view alsoWrittenBy;  // besides closing; empty when only closing writes it
};

const std::vector<Geometry>& geometries();
const Geometry& geometryOf(std::string_view windowClass);
std::string geometryKey(const Geometry& g, std::string_view side);  // side: "Left", "Top", ...

constexpr double defaultPosition = 1000;

// Every key of the per-executable section with its default, by the window that reads it.
struct Key {
    std::string_view window;
    std::string_view key;
    std::string_view fallback;
};
const std::vector<Key>& executableKeys();
const std::vector<Key>& sharedEmailKeys();

// Default of a key of the per-executable section: its catalogue default, "0" for an
// unlisted tickbox and the empty text otherwise.
std::string defaultOf(std::string_view key);

}  // namespace pd::catalogue
