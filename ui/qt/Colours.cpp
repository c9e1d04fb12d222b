#include "ui/qt/Colours.hpp"

#include <algorithm>
#include <cmath>

namespace pd::qt {

QColor toQColor(Colour c, const QPalette& system) {
    switch (c) {
        case colour::windowBackground:
            return system.color(QPalette::Active, QPalette::Base);
        case colour::buttonFace:
            return system.color(QPalette::Active, QPalette::Button);
        case colour::windowText:
            return system.color(QPalette::Active, QPalette::Text);
        case colour::buttonText:
            return system.color(QPalette::Active, QPalette::ButtonText);
        default:
            break;
    }
    if (colour::isSystem(c)) return system.color(QPalette::Active, QPalette::Window);
    return QColor::fromRgb(static_cast<QRgb>(colour::toRgb(c)));
}

double contrastRatio(const QColor& a, const QColor& b) {
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace pd::qt
