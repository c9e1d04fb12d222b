#pragma once
#include <functional>
#include <map>

#include "core/Layout.hpp"

namespace pd::win32ui {

struct Size {
    int cx = 0;
    int cy = 0;
};

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What the arrangement needs to know of a leaf (an element's control or a static caption).
struct LeafHints {
    Size natural;
    bool fillsAcross = true;  // takes the whole width of its column or grid cell
    bool growsWide = false;   // takes spare width along a row
    bool growsTall = false;   // takes spare height along a column
    bool hidden = false;      // takes no room at all
};

// Gaps between parts, in pixels at the window's resolution.
struct Spacing {
    int inRow = 4;
    int inColumn = 2;
    int groupSide = 6;
    int groupTop = 14;  // the group's caption sits in its top edge
    int groupBottom = 4;
};

// Places a declared layout in a rectangle, as the Qt layouts do it: leaves keep their
// natural sizes and pack towards the start; spare room goes to what grows (stretches,
// multi-line boxes, edit fields of no declared width), or else is shared by groups.
class Arrange {
  public:
    using Hints = std::function<LeafHints(const LayoutNode&)>;
    Arrange(const LayoutNode& root, Spacing spacing, Hints hints);

    // The smallest size that shows every leaf at its natural size.
    Size natural() const { return natural(root_); }
    // Calls `at` for every Item, Caption and Group node with its place.
    void place(Box area, const std::function<void(const LayoutNode&, Box)>& at) const;

  private:
    Size natural(const LayoutNode& node) const;
    // A row's or a column's parts side by side (a group's are a column).
    Size lineNatural(const LayoutNode& node, bool vertical) const;
    bool grows(const LayoutNode& node, bool vertical) const;
    bool holdsGroup(const LayoutNode& node) const;
    bool hidden(const LayoutNode& node) const;
    void place(const LayoutNode& node, Box box, const std::function<void(const LayoutNode&, Box)>& at) const;
    void placeLine(const LayoutNode& node, Box box, bool vertical,
                   const std::function<void(const LayoutNode&, Box)>& at) const;
    void placeGrid(const LayoutNode& node, Box box,
                   const std::function<void(const LayoutNode&, Box)>& at) const;
    void placeIn(const LayoutNode& child, Box cell, bool vertical,
                 const std::function<void(const LayoutNode&, Box)>& at) const;

    const LayoutNode& root_;
    Spacing spacing_;
    Hints hints_;
    mutable std::map<const LayoutNode*, LeafHints> leaves_;
};

}  // namespace pd::win32ui
