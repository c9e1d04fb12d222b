#include "app/setup/Openers.hpp"

#include <array>

namespace pd::setup {

// One row per window the set-up can reach. Add a row when a window is added.
std::span<const Opener> openers() {
    static constexpr std::array rows = {
        Opener{"PACEDECK_MAIN_SETTINGS", "PACEDECK_MAIN", "SETTINGS_BUTTON", ""},
        Opener{"PACEDECK_CRYPTO_SETTINGS", "PACEDECK_MAIN_SETTINGS", "CRYPTO_SETTINGS_BUTTON",
               "REGENERATE_COMMANDS_TIMER"},
    };
    return rows;
}

const Opener* openerOf(std::string_view window) {
    for (const auto& row : openers())
        if (row.window == window) return &row;
    return nullptr;
}

}  // namespace pd::setup
