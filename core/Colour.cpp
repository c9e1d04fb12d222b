#include "core/Colour.hpp"

#include <algorithm>
#include <cmath>

namespace pd::colour {

namespace {
double channel(Colour c, int shift) {
    return static_cast<double>((c >> shift) & 0xFF) / 255.0;
}

double luminance(Colour c) {
    auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(channel(c, 0)) + 0.7152 * linear(channel(c, 8)) + 0.0722 * linear(channel(c, 16));
}

Colour blend(Colour from, Colour to, double t) {
    Colour out = 0;
    for (int shift : {0, 8, 16}) {
        const double a = channel(from, shift);
        const double v = a + (channel(to, shift) - a) * t;
        out |= static_cast<Colour>(std::lround(v * 255.0)) << shift;
    }
    return out;
}
}  // namespace

double contrastRatio(Colour a, Colour b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Colour legibleDisabledText(Colour fore, Colour back) {
    constexpr double readable = 4.5;
    Colour base = fore;
    if (contrastRatio(base, back) < readable)
        base = contrastRatio(black, back) >= contrastRatio(white, back) ? black : white;
    for (double t : {0.45, 0.35, 0.25, 0.15}) {
        const Colour faded = blend(base, back, t);
        if (contrastRatio(faded, back) >= readable) return faded;
    }
    return base;
}

Colour shownText(Colour fore, Colour back, bool enabled) {
    return enabled ? fore : legibleDisabledText(fore, back);
}

}  // namespace pd::colour
