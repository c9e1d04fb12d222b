#pragma once
#include <span>
#include <string_view>

namespace pd::setup {

// How a user reaches a window: the window that opens it and the button clicked there.
// A window whose commands are rebuilt by a timer names that timer, so the set-up lets it
// run once before each press, as the second a user takes to reach the button would.
struct Opener {
    std::string_view window;
    std::string_view openerWindow;
    std::string_view openerButton;
    std::string_view regenerationTimer;  // empty: none
};

inline constexpr std::string_view mainWindowName = "PACEDECK_MAIN";

std::span<const Opener> openers();
const Opener* openerOf(std::string_view window);

}  // namespace pd::setup
