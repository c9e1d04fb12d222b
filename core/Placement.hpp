#pragma once

namespace pd {

// A rectangle on the screen in pixels, for placing windows.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

// The rectangle moved (not resized) so that as much of it as possible lies inside the area.
ScreenRect movedInside(ScreenRect r, const ScreenRect& area);

// Where a window of that frame size opens beside its owner's frame: on the side where it
// covers the least of the owner (right, below, left, above, in that order on a tie),
// inside the area.
ScreenRect besideOwner(const ScreenRect& ownerFrame, int width, int height, const ScreenRect& area, int gap);

}  // namespace pd
