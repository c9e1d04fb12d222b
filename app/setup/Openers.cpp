#include "app/setup/Openers.hpp"

#include <array>

namespace pd::setup {

// One row per window that holds settings, openers before the windows they open. Add a row
// when such a window is added.
std::span<const Opener> openers() {
    static constexpr std::array rows = {
        Opener{"PACEDECK_MAIN_SETTINGS", "PACEDECK_MAIN", "SETTINGS_BUTTON", ""},
        Opener{"PACEDECK_CRYPTO_SETTINGS", "PACEDECK_MAIN_SETTINGS", "CRYPTO_SETTINGS_BUTTON",
               "REGENERATE_COMMANDS_TIMER"},
        Opener{"PACEDECK_EMAIL_MAIN_SETTINGS", "PACEDECK_MAIN_SETTINGS", "SE_SETTINGS_BUTTON",
               "REGENERATE_COMMANDS_TIMER"},
        Opener{"PACEDECK_EMAIL_SHARED_SETTINGS", "PACEDECK_EMAIL_MAIN_SETTINGS", "SHARED_SETTINGS_BUTTON",
               ""},
        Opener{"PACEDECK_CONF_GENERATOR_MAIN", "PACEDECK_MAIN_SETTINGS", "CONF_MANAGER_BUTTON",
               "REFRESH_TIMER"},
        Opener{"PACEDECK_CONF_GENERATOR_IDS", "PACEDECK_CONF_GENERATOR_MAIN", "IDS_BUTTON", ""},
        Opener{"PACEDECK_CONF_GENERATOR_TEST_RPC", "PACEDECK_CONF_GENERATOR_MAIN",
               "SW_RPC_TEST_CREDENTIALS_BUTTON", ""},
        Opener{"PACEDECK_POWER_AUTOTIMER_SETTINGS", "PACEDECK_MAIN_SETTINGS", "POWER_AUTOTIMER_BUTTON", ""},
        Opener{"PACEDECK_SCHEDULER_WINDOW", "PACEDECK_MAIN_SETTINGS", "SCHEDULER_BUTTON", "", "commandPoller",
               "TASK_RESULT_LABEL"},
        Opener{"PACEDECK_BLOCK_TIMES_WINDOW", "PACEDECK_MAIN", "BLOCK_TIMES_WINDOW_BUTTON", ""},
    };
    return rows;
}

const Opener* openerOf(std::string_view window) {
    for (const auto& row : openers())
        if (row.window == window) return &row;
    return nullptr;
}

const Unlocker* unlockerOf(std::string_view window, std::string_view field) {
    static constexpr std::array rows = {
        Unlocker{"PACEDECK_MAIN_SETTINGS", "CONF_FILE_LOCATION_TEXTBOX", "USE_OWN_CONF_TICKBOX"},
    };
    for (const auto& row : rows)
        if (row.window == window && row.field == field) return &row;
    return nullptr;
}

}  // namespace pd::setup
