#pragma once
#include <QColor>
#include <QPalette>

#include "core/Colour.hpp"

namespace pd::qt {

// The Qt colour of a colour value. System colours resolve against the application's
// palette: window background is the background of text fields, button face the
// background of buttons, the two text colours the matching foregrounds.
QColor toQColor(Colour c, const QPalette& system);

}  // namespace pd::qt
