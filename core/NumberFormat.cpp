#include "core/NumberFormat.hpp"

#include <algorithm>

namespace pd {

namespace {
bool isDigitMark(char c) {
    return c == '0' || c == '#';
}

// Adds one to a string of decimal digits, growing it on a carry out of the top.
void increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string grouped(const std::string& whole, char separator) {
    std::string out;
    out.reserve(whole.size() + whole.size() / 3);
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += separator;
        out += whole[i];
    }
    return out;
}
}  // namespace

std::string formatMasked(std::uint64_t units, int scale, std::string_view mask, NumberSeparators separators) {
    const auto point = mask.find('.');
    const auto wholeMask = mask.substr(0, point);
    const auto fractionMask = point == std::string_view::npos ? std::string_view{} : mask.substr(point + 1);

    const bool group = wholeMask.find(',') != std::string_view::npos;
    const auto minWhole = static_cast<std::size_t>(std::count(wholeMask.begin(), wholeMask.end(), '0'));
    std::size_t decimals = 0;
    std::size_t minDecimals = 0;
    for (char c : fractionMask) {
        if (!isDigitMark(c)) continue;
        ++decimals;
        if (c == '0') minDecimals = decimals;
    }

    // The value as digits with exactly `decimals` of them after the (implied) point.
    std::string digits = std::to_string(units);
    const auto given = static_cast<std::size_t>(std::max(scale, 0));
    if (digits.size() <= given) digits.insert(0, given + 1 - digits.size(), '0');
    if (given > decimals) {
        const std::size_t drop = given - decimals;
        const bool up = digits[digits.size() - drop] >= '5';
        digits.resize(digits.size() - drop);
        if (up) increment(digits);
    } else {
        digits.append(decimals - given, '0');
    }

    std::string whole = digits.substr(0, digits.size() - decimals);
    std::string fraction = digits.substr(digits.size() - decimals);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() < minWhole) whole.insert(0, minWhole - whole.size(), '0');
    while (fraction.size() > minDecimals && fraction.back() == '0') fraction.pop_back();

    std::string out = group ? grouped(whole, separators.thousands) : whole;
    if (!fraction.empty()) {
        out += separators.decimal;
        out += fraction;
    }
    return out;
}

}  // namespace pd
