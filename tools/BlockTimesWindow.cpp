#include "tools/BlockTimesWindow.hpp"

#include "core/App.hpp"
#include "main/MainWindow.hpp"

namespace pd {

namespace {
// One row of the table: the coin, its average block time in minutes, and the fixed
// times its two Use buttons give (they never read the fields shown beside them).
struct Coin {
    const char* label;
    const char* minutes;
    const char* clockTime;
    const char* recommended;
};
constexpr Coin coins[] = {
    {"BITCOIN (BTC)", "10", "00:10:00", "00:01:00"},   {"NAMECOIN (NMC)", "2.5", "00:02:30", "00:00:30"},
    {"LITECOIN (LTC)", "2.5", "00:02:30", "00:00:30"}, {"DASH (DASH)", "2.5", "00:02:30", "00:00:30"},
    {"VERTCOIN (VTC)", "2.5", "00:02:30", "00:00:30"}, {"BitcoinGold (BTG)", "10", "00:10:00", "00:01:00"},
};
}  // namespace

BlockTimesWindow::BlockTimesWindow(App& app)
    : Window(app, "PACEDECK_BLOCK_TIMES_WINDOW",
             "PACEDECK - AVERAGE BLOCK GENERATION TIMES - BLOCKCOUNTER RUN TIMES") {
    Button* clockButtons[] = {&USE_BTC_TIME_BUTTON,  &USE_NMC_TIME_BUTTON, &USE_LTC_TIME_BUTTON,
                              &USE_DASH_TIME_BUTTON, &USE_VTC_TIME_BUTTON, &USE_BTG_TIME_BUTTON};
    Button* recommendedButtons[] = {&REC_USE_BTC_TIME_BUTTON, &REC_USE_NMC_TIME_BUTTON,
                                    &REC_USE_LTC_TIME_BUTTON, &REC_USE_DASH_TIME_BUTTON,
                                    &REC_USE_VTC_TIME_BUTTON, &REC_USE_BTG_TIME_BUTTON};
    for (std::size_t i = 0; i < std::size(coins); ++i) {
        clockButtons[i]->onClick = [this, time = coins[i].clockTime] { useTime(time); };
        recommendedButtons[i]->onClick = [this, time = coins[i].recommended] { useTime(time); };
    }
    OK_BUTTON.onClick = [this] { close(); };
}

void BlockTimesWindow::useTime(std::string_view time) {
    // Both times are stored: the count time as set, the override time as it stands.
    auto& main = mainWindow(app());
    main.USER_COUNT_TIME_TEXTBOX.setText(time);
    store("USER_COUNT_TIME_TEXTBOX", main.USER_COUNT_TIME_TEXTBOX.text());
    store("USER_OVERRIDE_TIME_TEXTBOX", main.USER_OVERRIDE_TIME_TEXTBOX.text());
}

LayoutNode BlockTimesWindow::layout() {
    // A table: each column lines up under its heading.
    auto line = [](const Coin& coin, TextBox& clock, Button& useClock, TextBox& recommended,
                   Button& useRecommended) {
        return row({label(coin.label), label(coin.minutes), sized(clock, 9), useClock, sized(recommended, 9),
                    useRecommended});
    };
    return column({
        HEADING_LABEL,
        grid({
            row({label(""), label("Average (Mins)"), label("Clock-Time"), label(""), label("Recommended")}),
            line(coins[0], BTC_TIME_TEXTBOX, USE_BTC_TIME_BUTTON, REC_BTC_TIME_TEXTBOX,
                 REC_USE_BTC_TIME_BUTTON),
            line(coins[1], NMC_TIME_TEXTBOX, USE_NMC_TIME_BUTTON, REC_NMC_TIME_TEXTBOX,
                 REC_USE_NMC_TIME_BUTTON),
            line(coins[2], LTC_TIME_TEXTBOX, USE_LTC_TIME_BUTTON, REC_LTC_TIME_TEXTBOX,
                 REC_USE_LTC_TIME_BUTTON),
            line(coins[3], DASH_TIME_TEXTBOX, USE_DASH_TIME_BUTTON, REC_DASH_TIME_TEXTBOX,
                 REC_USE_DASH_TIME_BUTTON),
            line(coins[4], VTC_TIME_TEXTBOX, USE_VTC_TIME_BUTTON, REC_VTC_TIME_TEXTBOX,
                 REC_USE_VTC_TIME_BUTTON),
            line(coins[5], BTG_TIME_TEXTBOX, USE_BTG_TIME_BUTTON, REC_BTG_TIME_TEXTBOX,
                 REC_USE_BTG_TIME_BUTTON),
        }),
        stretch(),
        row({stretch(), defaultButton(OK_BUTTON)}),
    });
}

}  // namespace pd
