#include <gtest/gtest.h>

#include "core/Colour.hpp"

namespace pd {

namespace {
constexpr Colour grey = 0x808080;
constexpr Colour darkRed = 0x000080;
constexpr Colour pale = 0xE0E0E0;
}  // namespace

TEST(Colour, DisabledTextIsFadedButStaysReadableOnItsBackground) {
    struct Case {
        Colour fore, back;
    };
    const Case cases[] = {
        {colour::black, colour::white},  {colour::black, colour::lightCyan},
        {colour::black, colour::pink},   {colour::green, colour::black},
        {colour::white, darkRed},        {grey, grey},
        {colour::yellow, colour::white}, {pale, colour::white},
        {colour::black, colour::red},
    };
    for (const auto& c : cases) {
        // Both front ends show an element's text by this one rule: its own colour while enabled.
        EXPECT_EQ(colour::shownText(c.fore, c.back, true), c.fore);
        const Colour shown = colour::shownText(c.fore, c.back, false);
        EXPECT_GE(colour::contrastRatio(shown, c.back), 4.5) << std::hex << c.fore << " on " << c.back;
        // Faded where the colour allows it: disabled text must look disabled.
        if (colour::contrastRatio(c.fore, c.back) > 7) {
            EXPECT_NE(shown, c.fore) << std::hex << c.fore << " on " << c.back;
        }
    }
}

TEST(Colour, ContrastRunsFromTheSameColourToBlackOnWhite) {
    EXPECT_DOUBLE_EQ(colour::contrastRatio(grey, grey), 1.0);
    EXPECT_NEAR(colour::contrastRatio(colour::black, colour::white), 21.0, 1e-9);
    EXPECT_DOUBLE_EQ(colour::contrastRatio(colour::red, colour::white),
                     colour::contrastRatio(colour::white, colour::red));
}

}  // namespace pd
