#pragma once
#include <initializer_list>
#include <string>
#include <vector>

namespace pd {

class Element;

// A window's declared layout: rows, columns, grids and captioned groups of its elements,
// with static captions and hints (widths, lamps, the default button). Front ends render
// it generically.
struct LayoutNode {
    enum class Kind { Row, Column, Grid, Group, Item, Caption, Stretch };

    Kind kind = Kind::Column;
    std::string caption;         // group title or static caption
    Element* element = nullptr;  // Item only
    std::vector<LayoutNode> children;
    int widthChars = 0;          // preferred width in average characters (0: natural)
    int heightLines = 0;         // preferred height in text lines for multi-line boxes
    bool light = false;          // Item: drawn as a lamp, by its colour (see lamp())
    bool keepLines = false;      // Item, multi-line box: a line is never wrapped (reports)
    bool fixedPitch = false;     // Item, multi-line box: every character as wide (tables)
    bool defaultButton = false;  // Item, button: Enter presses it

    LayoutNode() = default;
    LayoutNode(Element& e) : kind(Kind::Item), element(&e) {}  // NOLINT: natural in lists
};

inline LayoutNode row(std::initializer_list<LayoutNode> children) {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Row;
    n.children = children;
    return n;
}

inline LayoutNode column(std::initializer_list<LayoutNode> children) {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Column;
    n.children = children;
    return n;
}

// Rows whose cells line up in columns, as in a form or a table. Each child is a row();
// its children are the cells from the left (label("") keeps a cell empty).
inline LayoutNode grid(std::initializer_list<LayoutNode> rows) {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Grid;
    n.children = rows;
    return n;
}

inline LayoutNode group(std::string caption, std::initializer_list<LayoutNode> children) {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Group;
    n.caption = std::move(caption);
    n.children = children;
    return n;
}

inline LayoutNode label(std::string text, int widthChars = 0) {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Caption;
    n.caption = std::move(text);
    n.widthChars = widthChars;
    return n;
}

inline LayoutNode stretch() {
    LayoutNode n;
    n.kind = LayoutNode::Kind::Stretch;
    return n;
}

inline LayoutNode sized(Element& e, int widthChars, int heightLines = 0) {
    LayoutNode n(e);
    n.widthChars = widthChars;
    n.heightLines = heightLines;
    return n;
}

// An element shown as a lamp: a small square whose colour is its state. Its text, if
// any, is centred in it (the lock-key lights' letters); it is never a place for messages.
inline LayoutNode lamp(Element& e, int widthChars = 2) {
    LayoutNode n(e);
    n.widthChars = widthChars;
    n.light = true;
    return n;
}

// A multi-line box whose lines are kept whole and scroll sideways when long: a report
// whose lines are records, not prose.
inline LayoutNode lines(Element& e, int widthChars, int heightLines) {
    LayoutNode n = sized(e, widthChars, heightLines);
    n.keepLines = true;
    return n;
}

// A multi-line box holding a table of text: lines kept whole, in a font whose characters are
// all as wide, so that the columns line up.
inline LayoutNode table(Element& e, int widthChars, int heightLines) {
    LayoutNode n = lines(e, widthChars, heightLines);
    n.fixedPitch = true;
    return n;
}

// The window's default button: Enter presses it (Escape closes the window).
inline LayoutNode defaultButton(Element& button) {
    LayoutNode n(button);
    n.defaultButton = true;
    return n;
}

// A caption to the left of its element.
inline LayoutNode labelled(std::string text, Element& e, int widthChars = 0) {
    return row({label(std::move(text)), sized(e, widthChars)});
}

}  // namespace pd
