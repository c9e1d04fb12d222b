#pragma once
// The way a user reaches every window, shared by the front ends' GUI tests: the main window's
// buttons, then the chains of openers behind them.
#include "core/App.hpp"
#include "core/Window.hpp"
#include "schedule/PowerAutotimerWindow.hpp"
#include "tools/SelfTerminationWindow.hpp"

namespace pd::test {

// open(opener, button) presses the button and returns the window it opened; check(window)
// looks at one window. Every window of the program is checked once.
template <typename Open, typename Check>
void walkEveryWindow(App& app, Window& main, Open open, Check check) {
    auto visit = [&](Window& opener, const char* button) { check(open(opener, button)); };
    check(main);
    auto& settings = open(main, "SETTINGS_BUTTON");
    check(settings);
    visit(settings, "CRYPTO_SETTINGS_BUTTON");
    auto& email = open(settings, "SE_SETTINGS_BUTTON");
    check(email);
    visit(email, "SHARED_SETTINGS_BUTTON");
    auto& generator = open(settings, "CONF_MANAGER_BUTTON");
    check(generator);
    visit(generator, "IDS_BUTTON");
    visit(generator, "SW_RPC_TEST_CREDENTIALS_BUTTON");
    auto& single = open(settings, "VIEW_OUTPUT_COMMANDS_BUTTON");
    check(single);
    visit(single, "VIEW_ALL_COMMANDS_BUTTON");
    auto& reports = open(settings, "REPORTS_LOGS_BUTTON");
    check(reports);
    visit(reports, "LOG_MANAGER_BUTTON");
    visit(reports, "RUN_HISTORY_BUTTON");
    visit(settings, "POWER_AUTOTIMER_BUTTON");
    visit(settings, "SCHEDULER_BUTTON");

    for (auto* button : {"MANUAL_RUN_BUTTON", "BOX_INFO_BUTTON", "BLOCK_TIMES_WINDOW_BUTTON", "HELP_BUTTON"})
        visit(main, button);
    auto& terminator = open(main, "TERMINATOR_BUTTON");
    check(terminator);
    check(app.open<SelfTerminationWindow>(&terminator));
    auto& about = open(main, "ABOUT_BUTTON");
    check(about);
    visit(about, "DEDICATIONS_BUTTON");
    visit(about, "DONATIONS_BUTTON");
    // The run's last stage shows the power countdown.
    check(app.open<PowerAutotimerWindow>(&main, false));
}

}  // namespace pd::test
