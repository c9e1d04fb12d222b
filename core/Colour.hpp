#pragma once
#include <cstdint>

namespace pd {

// Colours are 0x00BBGGRR values, as the windows compare them; the system colours keep
// their 0x800000xx form so that "window background" stays distinguishable from white.
using Colour = std::uint32_t;

namespace colour {
constexpr Colour black = 0x000000;
constexpr Colour white = 0xFFFFFF;
constexpr Colour green = 0x00FF00;
constexpr Colour red = 0x0000FF;
constexpr Colour cyan = 0xFFFF00;
constexpr Colour pink = 0xFF80FF;
constexpr Colour lightCyan = 0xFFFF80;
constexpr Colour yellow = 0x00FFFF;
constexpr Colour magenta = 0xFF00FF;
constexpr Colour windowBackground = 0x80000005;
constexpr Colour windowText = 0x80000008;
constexpr Colour buttonFace = 0x8000000F;
constexpr Colour buttonText = 0x80000012;

constexpr bool isSystem(Colour c) {
    return (c & 0x80000000u) != 0;
}
// Plain RGB of a colour value, for renderers: system colours are resolved by the front end.
constexpr std::uint32_t toRgb(Colour c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// WCAG's contrast ratio of two plain colours: 1 (the same) to 21 (black on white); 4.5
// reads easily.
double contrastRatio(Colour a, Colour b);
// The colour of disabled text on that background (plain colours): the text's own colour
// faded towards the background, only as far as it stays easy to read; a colour that is
// hard to read there even at full strength gives way to black or white.
Colour legibleDisabledText(Colour fore, Colour back);
// How every front end shows an element, from its colours made plain: enabled, in its own
// colours; disabled, on its own back colour (a light keeps its meaning) with its text faded
// yet legible there, and taking no focus and no input. The colour its text is shown in:
Colour shownText(Colour fore, Colour back, bool enabled);
}  // namespace colour

}  // namespace pd
