#include <gtest/gtest.h>

#include <map>
#include <string>

#include "core/App.hpp"
#include "core/Window.hpp"
#include "platform/fake/FakePlatform.hpp"
#include "ui/win32/Arrange.hpp"

namespace pd::test {
namespace {

// A window of plain labels whose sizes the test decides.
class Panel final : public Window {
  public:
    explicit Panel(App& app) : Window(app, "PANEL", "Panel") {}
    Label a{*this, "A"};
    Label b{*this, "B"};
    Label c{*this, "C"};
    LayoutNode shape;
    LayoutNode layout() override { return shape; }
};

struct Placed {
    std::map<std::string, win32ui::Box> boxes;
    win32ui::Size natural;
};

class Arrangement : public ::testing::Test {
  protected:
    Arrangement() : app("ARRANGE", store, platform, windowsProfile(), scheduler), panel(app) {}

    // Every leaf is 50 x 20 unless hidden or growing; gaps are 4 across and 2 down.
    Placed arrange(const LayoutNode& root, win32ui::Box area,
                   std::map<const Element*, win32ui::LeafHints> own = {}) {
        Placed out;
        win32ui::Arrange arrange(root, {4, 2, 6, 14, 4}, [&](const LayoutNode& node) {
            if (node.element && own.count(node.element)) return own[node.element];
            return win32ui::LeafHints{{50, 20}};
        });
        out.natural = arrange.natural();
        arrange.place(area, [&](const LayoutNode& node, win32ui::Box b) {
            out.boxes[node.element ? node.element->name() : node.caption] = b;
        });
        return out;
    }

    SteadyClock clock;
    Scheduler scheduler{clock};
    MemoryStore store;
    FakePlatform platform;
    App app;
    Panel panel;
};

TEST_F(Arrangement, PartsOfARowPackTowardsTheStartUnlessOneGrows) {
    const auto packed = arrange(row({panel.a, panel.b}), {0, 0, 300, 20});
    EXPECT_EQ(packed.natural.cx, 104);
    EXPECT_EQ(packed.boxes.at("A").left, 0);
    EXPECT_EQ(packed.boxes.at("B").left, 54);
    EXPECT_EQ(packed.boxes.at("B").width, 50);

    const auto pushed = arrange(row({panel.a, stretch(), panel.b}), {0, 0, 300, 20});
    EXPECT_EQ(pushed.boxes.at("B").left, 250) << "a stretch pushes what follows it to the end";

    win32ui::LeafHints wide{{50, 20}};
    wide.growsWide = true;
    const auto grown = arrange(row({panel.a, panel.b}), {0, 0, 300, 20}, {{&panel.b, wide}});
    EXPECT_EQ(grown.boxes.at("B").width, 246) << "a growing part takes the spare width";
}

TEST_F(Arrangement, AHiddenPartTakesNoRoom) {
    win32ui::LeafHints hidden{{50, 20}};
    hidden.hidden = true;
    const auto placed = arrange(row({panel.a, panel.b, panel.c}), {0, 0, 300, 20}, {{&panel.b, hidden}});
    EXPECT_EQ(placed.natural.cx, 104);
    EXPECT_EQ(placed.boxes.at("C").left, 54);
    EXPECT_EQ(placed.boxes.count("B"), 0u);
}

TEST_F(Arrangement, GroupsShareTheSpareRoomAndFrameTheirParts) {
    const auto placed = arrange(row({group("G1", {panel.a}), group("G2", {panel.b})}), {0, 0, 204, 60});
    EXPECT_EQ(placed.natural.cx, 2 * (50 + 12) + 4);
    EXPECT_EQ(placed.natural.cy, 20 + 14 + 4);
    EXPECT_EQ(placed.boxes.at("G1").width, 100);
    EXPECT_EQ(placed.boxes.at("G2").left, 104);
    EXPECT_EQ(placed.boxes.at("A").left, 6) << "inside its frame";
    EXPECT_EQ(placed.boxes.at("A").top, 14) << "below the frame's caption";
}

TEST_F(Arrangement, GridCellsLineUpInColumns) {
    win32ui::LeafHints wideLeaf{{90, 20}};
    const auto placed = arrange(grid({row({panel.a, label("x")}), row({panel.b, panel.c})}), {0, 0, 400, 100},
                                {{&panel.b, wideLeaf}});
    EXPECT_EQ(placed.boxes.at("x").left, 94) << "the widest cell sets its column's width";
    EXPECT_EQ(placed.boxes.at("C").left, 94);
    EXPECT_EQ(placed.boxes.at("B").top, 22);
}

}  // namespace
}  // namespace pd::test
