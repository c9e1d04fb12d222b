#pragma once
#include <span>
#include <string_view>

namespace pd::setup {

// How a user reaches a window: the window that opens it and the button clicked there.
// A window whose commands are rebuilt by a timer names that timer, so the set-up lets it
// run once before each press, as the second a user takes to reach the button would.
// A window that runs system commands without waiting names the timer that collects their
// results and the label that shows them: the set-up waits for each result as a user
// watches for it, and a result shown in red stops the file there.
struct Opener {
    std::string_view window;
    std::string_view openerWindow;
    std::string_view openerButton;
    std::string_view regenerationTimer;  // empty: none
    std::string_view resultTimer = {};   // empty: none
    std::string_view resultLabel = {};
};

// A field greyed until a tick of its window is ticked: setting the field ticks it first, as
// a user does before typing into it.
struct Unlocker {
    std::string_view window;
    std::string_view field;
    std::string_view tick;
};

inline constexpr std::string_view mainWindowName = "PACEDECK_MAIN";

std::span<const Opener> openers();
const Opener* openerOf(std::string_view window);
const Unlocker* unlockerOf(std::string_view window, std::string_view field);

}  // namespace pd::setup
