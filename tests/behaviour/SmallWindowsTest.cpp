#include <gtest/gtest.h>

#include "Harness.hpp"
#include "tools/AboutWindow.hpp"
#include "tools/BlockTimesWindow.hpp"
#include "tools/BoxInfoWindow.hpp"
#include "tools/DedicationsWindow.hpp"
#include "tools/DonationsWindow.hpp"
#include "tools/HelpWindow.hpp"
#include "tools/ManualRunWindow.hpp"
#include "tools/ReportsLogsWindow.hpp"
#include "tools/TerminatorWindow.hpp"

namespace pd::test {

TEST(SmallWindows, TheMainWindowsButtonsOpenTheirToolsOwnedByIt) {
    Harness h;
    auto& m = h.start();
    m.END_LOG_BUTTON.setEnabled(true);
    auto opens = [&](Button& b, auto* typeTag) {
        using W = std::remove_pointer_t<decltype(typeTag)>;
        ASSERT_TRUE(b.click()) << b.name();
        auto* w = h.app.find<W>();
        ASSERT_NE(w, nullptr) << b.name();
        EXPECT_EQ(w->owner(), &m);
        EXPECT_TRUE(w->modal());
        w->close();
    };
    opens(m.MANUAL_RUN_BUTTON, static_cast<ManualRunWindow*>(nullptr));
    opens(m.BOX_INFO_BUTTON, static_cast<BoxInfoWindow*>(nullptr));
    opens(m.TERMINATOR_BUTTON, static_cast<TerminatorWindow*>(nullptr));
    opens(m.BLOCK_TIMES_WINDOW_BUTTON, static_cast<BlockTimesWindow*>(nullptr));
    opens(m.END_LOG_BUTTON, static_cast<ReportsLogsWindow*>(nullptr));
    opens(m.HELP_BUTTON, static_cast<HelpWindow*>(nullptr));
    opens(m.ABOUT_BUTTON, static_cast<AboutWindow*>(nullptr));
}

TEST(SmallWindows, HelpShowsWhereThisCopysSettingsAre) {
    Harness h("DASH-NODE");
    h.start();
    auto& w = h.app.open<HelpWindow>(&h.main());
    EXPECT_EQ(w.REGISTRY_LOCATION_TEXTBOX.text(), h.store.location("DASH-NODE"));
    EXPECT_NE(w.REGISTRY_LOCATION_TEXTBOX.text().find("DASH-NODE"), std::string::npos);
    EXPECT_FALSE(w.HELP_TEXTBOX.text().empty());
}

TEST(SmallWindows, AboutNamesThisCopyAndTheLicense) {
    Harness h("BTC");
    h.start();
    const auto text = h.app.open<AboutWindow>(&h.main()).ABOUT_TEXTBOX.text();
    EXPECT_NE(text.find("This copy: BTC"), std::string::npos) << text;
    EXPECT_NE(text.find("MIT License"), std::string::npos) << text;
    EXPECT_NE(text.find("/usr/share/doc/pacedeck/copyright"), std::string::npos) << text;
}

TEST(SmallWindows, AboutLeadsToDedicationsAndDonationsAndEachStoresItsPlace) {
    Harness h("BTC");
    h.start();
    auto& about = h.app.open<AboutWindow>(&h.main());
    ASSERT_TRUE(about.DEDICATIONS_BUTTON.click());
    auto* dedications = h.app.find<DedicationsWindow>();
    ASSERT_NE(dedications, nullptr);
    EXPECT_EQ(dedications->owner(), &about);
    dedications->moveTo(5, 6);
    ASSERT_TRUE(dedications->OK_BUTTON.click());
    ASSERT_TRUE(about.DONATIONS_BUTTON.click());
    auto* donations = h.app.find<DonationsWindow>();
    ASSERT_NE(donations, nullptr);
    donations->moveTo(7, 8);
    donations->close();
    about.moveTo(9, 10);
    ASSERT_TRUE(about.OK_BUTTON.click());
    EXPECT_EQ(h.stored("DEDICATIONS_WINDOW-Left"), "5");
    EXPECT_EQ(h.stored("DONATIONS_WINDOW-Top"), "8");
    EXPECT_EQ(h.stored("ABOUT-Left"), "9");
    auto& help = h.app.open<HelpWindow>(&h.main());
    help.moveTo(11, 12);
    help.close();
    EXPECT_EQ(h.stored("HELP_WINDOW-Left"), "11");
}

}  // namespace pd::test
