#include "core/TextValue.hpp"

#include <charconv>
#include <cmath>

namespace pd {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the run of digits starting at i.
std::size_t digitsAt(std::string_view s, std::size_t i) {
    std::size_t n = 0;
    while (i + n < s.size() && isDigit(s[i + n])) ++n;
    return n;
}
}  // namespace

double textValue(std::string_view text) {
    return leadingNumber(text).value_or(0);
}

std::optional<double> leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissa = i;
    std::size_t whole = digitsAt(text, i);
    i += whole;
    std::size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        fraction = digitsAt(text, i + 1);
        if (whole > 0 || fraction > 0) i += 1 + fraction;
    }
    if (whole == 0 && fraction == 0) return std::nullopt;
    // An exponent continues the number only when digits follow it ("5e3", not "5 eggs").
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (std::size_t exp = digitsAt(text, j); exp > 0) i = j + exp;
    }
    // from_chars takes no leading "+"; the sign is applied here.
    double value = 0;
    auto number = text.substr(mantissa, i - mantissa);
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) value = HUGE_VAL;
    (void)end;
    return negative ? -value : value;
}

std::string plainNumber(double value) {
    if (value == 0) return "0";  // also turns -0 into "0"
    if (std::nearbyint(value) == value && std::fabs(value) < 1e18)
        return std::to_string(static_cast<long long>(value));
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("0");
}

std::string oneLineProblem(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) return "it holds a NUL character";
    if (text.find_first_of("\r\n") != std::string_view::npos) return "it holds a line break";
    return {};
}

}  // namespace pd
