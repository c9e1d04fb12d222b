#include "ui/win32/Arrange.hpp"

#include <algorithm>
#include <vector>

namespace pd::win32ui {

namespace {
using Kind = LayoutNode::Kind;

bool isLeaf(const LayoutNode& node) {
    return node.kind == Kind::Item || node.kind == Kind::Caption;
}

// Shares `extra` among the marked parts, the first ones taking the remainder.
std::vector<int> share(int extra, const std::vector<bool>& takes) {
    std::vector<int> out(takes.size(), 0);
    const auto count = static_cast<int>(std::count(takes.begin(), takes.end(), true));
    if (extra <= 0 || count == 0) return out;
    int remainder = extra % count;
    for (std::size_t i = 0; i < takes.size(); ++i)
        if (takes[i]) out[i] = extra / count + (remainder-- > 0 ? 1 : 0);
    return out;
}
}  // namespace

Arrange::Arrange(const LayoutNode& root, Spacing spacing, Hints hints)
    : root_(root), spacing_(spacing), hints_(std::move(hints)) {}

Size Arrange::natural(const LayoutNode& node) const {
    switch (node.kind) {
        case Kind::Item:
        case Kind::Caption: {
            auto it = leaves_.find(&node);
            if (it == leaves_.end()) it = leaves_.emplace(&node, hints_(node)).first;
            return it->second.hidden ? Size{} : it->second.natural;
        }
        case Kind::Stretch:
            return {};
        case Kind::Row:
        case Kind::Column:
            return lineNatural(node, node.kind == Kind::Column);
        case Kind::Group: {
            const Size inner = lineNatural(node, true);
            return {inner.cx + 2 * spacing_.groupSide, inner.cy + spacing_.groupTop + spacing_.groupBottom};
        }
        case Kind::Grid: {
            std::vector<int> widths;
            int height = 0;
            for (const auto& row : node.children) {
                int rowHeight = 0;
                for (std::size_t c = 0; c < row.children.size(); ++c) {
                    const Size s = natural(row.children[c]);
                    if (widths.size() <= c) widths.resize(c + 1, 0);
                    widths[c] = std::max(widths[c], s.cx);
                    rowHeight = std::max(rowHeight, s.cy);
                }
                height += rowHeight;
            }
            int width = 0;
            for (int w : widths) width += w;
            width += std::max(0, static_cast<int>(widths.size()) - 1) * spacing_.inRow;
            height += std::max(0, static_cast<int>(node.children.size()) - 1) * spacing_.inColumn;
            return {width, height};
        }
    }
    return {};
}

Size Arrange::lineNatural(const LayoutNode& node, bool vertical) const {
    Size s;
    int shown = 0;
    for (const auto& child : node.children) {
        if (hidden(child)) continue;
        ++shown;
        const Size c = natural(child);
        if (vertical) {
            s.cx = std::max(s.cx, c.cx);
            s.cy += c.cy;
        } else {
            s.cx += c.cx;
            s.cy = std::max(s.cy, c.cy);
        }
    }
    (vertical ? s.cy : s.cx) += std::max(0, shown - 1) * (vertical ? spacing_.inColumn : spacing_.inRow);
    return s;
}

bool Arrange::hidden(const LayoutNode& node) const {
    if (!isLeaf(node)) return false;
    natural(node);  // fills the cache
    return leaves_.at(&node).hidden;
}

bool Arrange::grows(const LayoutNode& node, bool vertical) const {
    if (node.kind == Kind::Stretch) return true;
    if (isLeaf(node)) {
        natural(node);  // fills the cache
        const auto& leaf = leaves_.at(&node);
        return vertical ? leaf.growsTall : leaf.growsWide;
    }
    // A stretch in a row takes width only.
    for (const auto& child : node.children)
        if (!(vertical && node.kind == Kind::Row && child.kind == Kind::Stretch) && !hidden(child) &&
            grows(child, vertical))
            return true;
    return false;
}

bool Arrange::holdsGroup(const LayoutNode& node) const {
    if (node.kind == Kind::Group) return true;
    for (const auto& child : node.children)
        if (holdsGroup(child)) return true;
    return false;
}

void Arrange::place(Box area, const std::function<void(const LayoutNode&, Box)>& at) const {
    place(root_, area, at);
}

void Arrange::place(const LayoutNode& node, Box box,
                    const std::function<void(const LayoutNode&, Box)>& at) const {
    switch (node.kind) {
        case Kind::Item:
        case Kind::Caption:
            at(node, box);
            break;
        case Kind::Stretch:
            break;
        case Kind::Row:
            placeLine(node, box, false, at);
            break;
        case Kind::Column:
            placeLine(node, box, true, at);
            break;
        case Kind::Group:
            // The frame first, then its parts in a column inside it.
            at(node, box);
            placeLine(
                node,
                {box.left + spacing_.groupSide, box.top + spacing_.groupTop,
                 box.width - 2 * spacing_.groupSide, box.height - spacing_.groupTop - spacing_.groupBottom},
                true, at);
            break;
        case Kind::Grid:
            placeGrid(node, box, at);
            break;
    }
}

void Arrange::placeLine(const LayoutNode& node, Box box, bool vertical,
                        const std::function<void(const LayoutNode&, Box)>& at) const {
    const int gap = vertical ? spacing_.inColumn : spacing_.inRow;
    std::vector<int> lengths;
    std::vector<bool> takes;
    bool anyGrows = false;
    int used = -gap;
    for (const auto& child : node.children) {
        const Size s = natural(child);
        if (!hidden(child)) used += gap;
        lengths.push_back(vertical ? s.cy : s.cx);
        used += lengths.back();
        takes.push_back(!hidden(child) && grows(child, vertical));
        anyGrows = anyGrows || takes.back();
    }
    // Nothing grows: groups share the spare room, other parts pack towards the start.
    if (!anyGrows)
        for (std::size_t i = 0; i < node.children.size(); ++i) takes[i] = holdsGroup(node.children[i]);
    const auto extra = share((vertical ? box.height : box.width) - used, takes);
    int at0 = vertical ? box.top : box.left;
    for (std::size_t i = 0; i < node.children.size(); ++i) {
        if (hidden(node.children[i])) continue;
        const int length = lengths[i] + extra[i];
        const Box cell =
            vertical ? Box{box.left, at0, box.width, length} : Box{at0, box.top, length, box.height};
        placeIn(node.children[i], cell, vertical, at);
        at0 += length + gap;
    }
}

void Arrange::placeIn(const LayoutNode& child, Box cell, bool vertical,
                      const std::function<void(const LayoutNode&, Box)>& at) const {
    if (!isLeaf(child)) {
        place(child, cell, at);
        return;
    }
    const Size s = natural(child);
    const auto& leaf = leaves_.at(&child);
    Box b = cell;
    if (vertical) {
        // Across a column: the whole width, unless the leaf has a width of its own.
        if (!leaf.fillsAcross) b.width = std::min(s.cx, cell.width);
    } else if (!leaf.growsTall) {
        // Across a row: its own height, centred on the row.
        b.height = std::min(s.cy, cell.height);
        b.top = cell.top + (cell.height - b.height) / 2;
    }
    place(child, b, at);
}

void Arrange::placeGrid(const LayoutNode& node, Box box,
                        const std::function<void(const LayoutNode&, Box)>& at) const {
    std::vector<int> widths;
    std::vector<bool> stretches;
    std::vector<int> heights;
    for (const auto& row : node.children) {
        int rowHeight = 0;
        for (std::size_t c = 0; c < row.children.size(); ++c) {
            const Size s = natural(row.children[c]);
            if (widths.size() <= c) {
                widths.resize(c + 1, 0);
                stretches.resize(c + 1, false);
            }
            widths[c] = std::max(widths[c], s.cx);
            rowHeight = std::max(rowHeight, s.cy);
            if (row.children[c].kind == Kind::Stretch) stretches[c] = true;
        }
        heights.push_back(rowHeight);
    }
    int used = std::max(0, static_cast<int>(widths.size()) - 1) * spacing_.inRow;
    for (int w : widths) used += w;
    // The cells keep their natural widths unless a column stretches.
    const auto extra = share(box.width - used, stretches);
    int y = box.top;
    for (std::size_t r = 0; r < node.children.size(); ++r) {
        int x = box.left;
        const auto& row = node.children[r];
        for (std::size_t c = 0; c < row.children.size(); ++c) {
            const int w = widths[c] + extra[c];
            const auto& cell = row.children[c];
            if (isLeaf(cell)) {
                const Size s = natural(cell);
                const bool fills = leaves_.at(&cell).fillsAcross;
                const int h = std::min(s.cy, heights[r]);
                at(cell, {x, y + (heights[r] - h) / 2, fills ? w : std::min(s.cx, w), h});
            } else {
                place(cell, {x, y, w, heights[r]}, at);
            }
            x += w + spacing_.inRow;
        }
        y += heights[r] + spacing_.inColumn;
    }
}

}  // namespace pd::win32ui
