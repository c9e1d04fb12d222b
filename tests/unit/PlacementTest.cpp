#include <gtest/gtest.h>

#include "core/Placement.hpp"

namespace pd {

namespace {
const ScreenRect screen{0, 0, 1600, 1000};
}

TEST(Placement, AWindowOpensBesideItsOwnerWhereItCoversTheLeastOfIt) {
    struct Case {
        const char* where;
        ScreenRect owner;
        int expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {"room on the right", {100, 100, 400, 300}, 508, 100},
        {"at the right edge: below", {1100, 100, 400, 300}, 1100, 408},
        {"right and below full: on the left", {1000, 600, 400, 390}, 692, 600},
        {"nowhere free: moved inside, on the right", {0, 0, 1600, 1000}, 1300, 0},
    };
    for (const auto& c : cases) {
        const ScreenRect r = besideOwner(c.owner, 300, 200, screen, 8);
        EXPECT_EQ(r.left, c.expectedLeft) << c.where;
        EXPECT_EQ(r.top, c.expectedTop) << c.where;
        EXPECT_EQ(r.width, 300) << c.where;
    }
}

TEST(Placement, ARectangleIsMovedInsideTheAreaWithoutResizing) {
    EXPECT_EQ(movedInside({1500, 900, 300, 200}, screen).left, 1300);
    EXPECT_EQ(movedInside({1500, 900, 300, 200}, screen).top, 800);
    EXPECT_EQ(movedInside({-50, -20, 300, 200}, screen).left, 0);
    // Larger than the area: its top left corner stays visible.
    EXPECT_EQ(movedInside({100, 100, 2000, 200}, screen).left, 0);
    EXPECT_EQ(movedInside({100, 100, 2000, 200}, screen).width, 2000);
}

}  // namespace pd
