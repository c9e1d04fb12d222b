#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace pd {

// The locale's marks for numbers: the thousands separator and the decimal point.
struct NumberSeparators {
    char thousands = ',';
    char decimal = '.';
};

// Formats the exact decimal value  units / 10^scale  with a numeric mask such as
// "###,##0" or "###,##0.###":
//   '0'  a digit that is always shown;
//   '#'  a digit shown only when significant;
//   ','  in the whole part: group the whole digits by three with the thousands separator;
//   '.'  the decimal point; the digit marks after it give the number of decimals, and
//        the value is rounded half up at the last of them.
// Two choices where masks are read differently elsewhere: a ',' after the decimal point
// ("###,##0.###,###") only separates groups of decimal marks and prints nothing, so
// decimals are never grouped; and a value with no decimal digit left to show drops its
// decimal point ("0", not "0.").
// The arithmetic is done on decimal digits, so no value is ever off by a binary rounding.
std::string formatMasked(std::uint64_t units, int scale, std::string_view mask, NumberSeparators separators);

}  // namespace pd
