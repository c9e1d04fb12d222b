#pragma once
#include <QColor>
#include <QPalette>

#include "core/Colour.hpp"

namespace pd::qt {

// The Qt colour of a colour value. System colours resolve against the application's
// palette: window background is the background of text fields, button face the
// background of buttons, the two text colours the matching foregrounds.
QColor toQColor(Colour c, const QPalette& system);

// The colour value of a plain Qt colour.
Colour fromQColor(const QColor& c);

// WCAG's contrast ratio of two colours: 1 (the same) to 21 (black on white); 4.5 reads easily.
double contrastRatio(const QColor& a, const QColor& b);

}  // namespace pd::qt
