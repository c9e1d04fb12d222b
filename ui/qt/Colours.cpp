#include "ui/qt/Colours.hpp"

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

Colour fromQColor(const QColor& c) {
    const QRgb rgb = c.rgb();
    return static_cast<Colour>(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16));
}

double contrastRatio(const QColor& a, const QColor& b) {
    return colour::contrastRatio(fromQColor(a), fromQColor(b));
}

}  // namespace pd::qt
