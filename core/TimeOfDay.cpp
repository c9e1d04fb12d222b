#include "core/TimeOfDay.hpp"

#include <array>
#include <cstdio>

namespace pd {

namespace {
std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string twoDigits(int v) {
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "%02d", v);
    return buf.data();
}
}  // namespace

std::optional<TimeOfDay> TimeOfDay::parse(std::string_view text) {
    text = trim(text);
    std::array<int, 3> parts{0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        int digits = 0;
        int value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 2) {
            value = value * 10 + (text[i] - '0');
            ++i;
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        parts[count++] = value;
        if (i == text.size()) break;
        if (text[i] != ':') return std::nullopt;
        ++i;
    }
    if (i != text.size() || count < 2) return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return TimeOfDay(parts[0], parts[1], parts[2]);
}

TimeOfDay TimeOfDay::parseOr(std::string_view text, TimeOfDay fallback) {
    return parse(text).value_or(fallback);
}

std::string TimeOfDay::hhmmss() const {
    return twoDigits(seconds_ / 3600) + ":" + twoDigits(seconds_ / 60 % 60) + ":" + twoDigits(seconds_ % 60);
}

std::string TimeOfDay::ss() const {
    return twoDigits(seconds_ % 60);
}

std::string TimeOfDay::hhmm() const {
    return twoDigits(seconds_ / 3600) + ":" + twoDigits(seconds_ / 60 % 60);
}

}  // namespace pd
