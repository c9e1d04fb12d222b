#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/BlockTimesWindow.hpp"
#include "tools/BoxInfoWindow.hpp"

namespace pd::test {

TEST(BlockTimesWindow, EveryUseButtonStoresItsTimeAndTheOverrideAsItStands) {
    Harness h("BTC", windowsProfile());
    h.start();
    auto& w = h.app.open<BlockTimesWindow>(&h.main());
    const std::vector<std::pair<Button*, std::string>> buttons = {
        {&w.USE_BTC_TIME_BUTTON, "00:10:00"},     {&w.USE_NMC_TIME_BUTTON, "00:02:30"},
        {&w.USE_LTC_TIME_BUTTON, "00:02:30"},     {&w.USE_DASH_TIME_BUTTON, "00:02:30"},
        {&w.USE_VTC_TIME_BUTTON, "00:02:30"},     {&w.USE_BTG_TIME_BUTTON, "00:10:00"},
        {&w.REC_USE_BTC_TIME_BUTTON, "00:01:00"}, {&w.REC_USE_NMC_TIME_BUTTON, "00:00:30"},
        {&w.REC_USE_LTC_TIME_BUTTON, "00:00:30"}, {&w.REC_USE_DASH_TIME_BUTTON, "00:00:30"},
        {&w.REC_USE_VTC_TIME_BUTTON, "00:00:30"}, {&w.REC_USE_BTG_TIME_BUTTON, "00:01:00"},
    };
    int n = 0;
    for (auto& [button, time] : buttons) {
        // An override typed but not yet stored is stored unchanged.
        auto override = "02:00:" + std::to_string(10 + n++);
        h.main().USER_OVERRIDE_TIME_TEXTBOX.setText(override);
        h.main().USER_COUNT_TIME_TEXTBOX.setText("09:09:09");
        // The shown field is not what a button writes.
        w.BTC_TIME_TEXTBOX.setText("99:99:99");
        ASSERT_TRUE(button->click()) << button->name();
        EXPECT_EQ(h.main().USER_COUNT_TIME_TEXTBOX.text(), time) << button->name();
        EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), time) << button->name();
        EXPECT_EQ(h.stored("USER_OVERRIDE_TIME_TEXTBOX"), override) << button->name();
        EXPECT_EQ(h.main().USER_OVERRIDE_TIME_TEXTBOX.text(), override) << button->name();
    }
    EXPECT_TRUE(w.isOpen());
    EXPECT_EQ(w.REC_VTC_TIME_TEXTBOX.text(), "00:00:30");
    EXPECT_EQ(w.NMC_TIME_TEXTBOX.text(), "00:02:30");
}

TEST(BlockTimesWindow, TheRecommendedVertcoinTimeOutlivesTheProgram) {
    Harness h("VTC", windowsProfile());
    h.start();
    auto& w = h.app.open<BlockTimesWindow>(&h.main());
    ASSERT_TRUE(w.REC_USE_VTC_TIME_BUTTON.click());
    ASSERT_TRUE(w.OK_BUTTON.click());
    h.main().close();
    EXPECT_EQ(h.stored("USER_COUNT_TIME_TEXTBOX"), "00:00:30");
    EXPECT_EQ(h.stored("BLOCK_TIMES_WINDOW-Left"), "1000");
}

TEST(BoxInfoWindow, ShowsTheNamesTheSystemGivesAndTheBarePrefixForAnUnsetOne) {
    Harness h("BTC", windowsProfile());
    h.platform.computer = "NODEBOX";
    h.platform.user = "";
    h.start();
    auto& w = h.app.open<BoxInfoWindow>(&h.main());
    EXPECT_EQ(w.PC_NAME_TEXTBOX.text(), "PC NAME = NODEBOX");
    EXPECT_EQ(w.USERNAME_TEXTBOX.text(), "USERNAME = ");
    EXPECT_EQ(w.geometry().width, 4800);
    w.moveTo(77, 88);
    ASSERT_TRUE(w.OK_BUTTON.click());
    EXPECT_EQ(h.stored("BOX_INFO-Left"), "77");
    EXPECT_EQ(h.stored("BOX_INFO-Top"), "88");
}

}  // namespace pd::test
