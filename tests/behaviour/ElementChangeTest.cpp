// Renderers redo only what an element says changed, so each setter must name its change,
// and an unchanged value must not be told at all.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "behaviour/Harness.hpp"
#include "core/Element.hpp"
#include "core/Window.hpp"

namespace pd {
namespace {

struct Elements final : Window {
    explicit Elements(App& app) : Window(app, "Elements", "Elements") {}
    LayoutNode layout() override { return {}; }
    TextBox box{*this, "BOX", {.text = "old"}};
    TickBox tick{*this, "TICK"};
};

struct SetterCase {
    const char* what;
    std::function<void(Elements&)> set;
    unsigned expected;  // the change told, or 0 for none
};

TEST(ElementChange, EachSetterTellsWhatItChangedAndNothingWhenUnchanged) {
    const std::vector<SetterCase> cases = {
        {"text", [](Elements& w) { w.box.setText("new"); }, Element::Text},
        {"same text", [](Elements& w) { w.box.setText("old"); }, 0},
        {"fore", [](Elements& w) { w.box.setFore(colour::red); }, Element::Colours},
        {"back", [](Elements& w) { w.box.setBack(colour::green); }, Element::Colours},
        {"same back", [](Elements& w) { w.box.setBack(w.box.back()); }, 0},
        {"both colours", [](Elements& w) { w.box.setColours(colour::red, colour::green); }, Element::Colours},
        {"enabled", [](Elements& w) { w.box.setEnabled(false); }, Element::Enabled},
        {"same enabled", [](Elements& w) { w.box.setEnabled(true); }, 0},
        {"visible", [](Elements& w) { w.box.setVisible(false); }, Element::Visible},
        {"tip", [](Elements& w) { w.box.setToolTip("tip"); }, Element::ToolTip},
        {"same tip", [](Elements& w) { w.box.setToolTip(""); }, 0},
        {"locked", [](Elements& w) { w.box.setLocked(true); }, Element::Locked},
        {"password", [](Elements& w) { w.box.setPassword(true); }, Element::Password},
        {"value", [](Elements& w) { w.tick.setValue(1); }, Element::Value},
        {"same value", [](Elements& w) { w.tick.setValue(0); }, 0},
    };
    for (const auto& c : cases) {
        test::Harness h;
        Elements w(h.app);
        std::vector<unsigned> told;
        for (Element* e : {static_cast<Element*>(&w.box), static_cast<Element*>(&w.tick)})
            e->observe([&](const Element& changed) { told.push_back(changed.changed()); });
        c.set(w);
        EXPECT_EQ(told, c.expected ? std::vector<unsigned>{c.expected} : std::vector<unsigned>{}) << c.what;
        EXPECT_EQ(w.box.changed(), 0u) << c.what << ": no change is told outside the telling";
    }
}

TEST(ElementChange, AChangeMadeWhileTellingIsToldWithItsOwnKind) {
    test::Harness h;
    Elements w(h.app);
    std::vector<unsigned> second;
    w.box.observe([](const Element& e) {
        // A rule that greys the box out when its text changes.
        if (e.changed() == Element::Text) const_cast<Element&>(e).setEnabled(false);
    });
    w.box.observe([&](const Element& e) { second.push_back(e.changed()); });
    w.box.setText("typed");
    // The second observer hears of the nested change first, then of the text.
    EXPECT_EQ(second, (std::vector<unsigned>{Element::Enabled, Element::Text}));
}

}  // namespace
}  // namespace pd
