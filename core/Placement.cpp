#include "core/Placement.hpp"

#include <algorithm>
#include <array>

namespace pd {

namespace {
int overlap(const ScreenRect& a, const ScreenRect& b) {
    const int w = std::min(a.right(), b.right()) - std::max(a.left, b.left);
    const int h = std::min(a.bottom(), b.bottom()) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}
}  // namespace

ScreenRect movedInside(ScreenRect r, const ScreenRect& area) {
    if (r.right() > area.right()) r.left = area.right() - r.width;
    if (r.bottom() > area.bottom()) r.top = area.bottom() - r.height;
    if (r.left < area.left) r.left = area.left;
    if (r.top < area.top) r.top = area.top;
    return r;
}

ScreenRect besideOwner(const ScreenRect& ownerFrame, int width, int height, const ScreenRect& area, int gap) {
    const std::array<ScreenRect, 4> sides = {{
        {ownerFrame.right() + gap, ownerFrame.top, width, height},        // right
        {ownerFrame.left, ownerFrame.bottom() + gap, width, height},      // below
        {ownerFrame.left - gap - width, ownerFrame.top, width, height},   // left
        {ownerFrame.left, ownerFrame.top - gap - height, width, height},  // above
    }};
    ScreenRect best;
    int bestOverlap = -1;
    for (const auto& side : sides) {
        const ScreenRect r = movedInside(side, area);
        const int covered = overlap(r, ownerFrame);
        if (bestOverlap < 0 || covered < bestOverlap) {
            best = r;
            bestOverlap = covered;
        }
    }
    return best;
}

}  // namespace pd
