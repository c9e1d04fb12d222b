#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pd {

// The numeric value of a text, as a person reading a log would take it: the number that
// its leading characters form after leading blanks, up to the first character that cannot
// continue a number ("  345\r\n" is 345, "12abc" is 12). A text that does not start with a
// number counts as 0. The decimal point is always "." whatever the locale.
double textValue(std::string_view text);
// The same number, or nothing when the text does not start with one.
std::optional<double> leadingNumber(std::string_view text);

// A value shown as a plain decimal number: "245", "-100", "2.5"; no exponent for whole
// numbers a block count can reach.
std::string plainNumber(double value);

// Why a text cannot be kept as a one-line value (a line break or a NUL would split or cut
// the line of a script, a conf file or a crontab it ends up in); empty when it can.
std::string oneLineProblem(std::string_view text);

}  // namespace pd
