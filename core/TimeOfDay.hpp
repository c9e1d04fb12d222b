#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace pd {

// A time of day with one-second resolution. Countdowns and the run-time clock are kept
// as such values, so they wrap at 24 hours exactly as a clock does.
class TimeOfDay {
  public:
    static constexpr int day = 24 * 60 * 60;

    constexpr TimeOfDay() = default;
    constexpr explicit TimeOfDay(int seconds) : seconds_(((seconds % day) + day) % day) {}
    constexpr TimeOfDay(int h, int m, int s) : TimeOfDay(h * 3600 + m * 60 + s) {}

    // Accepts "h:m:s" and "h:m" (one or two digits each, surrounding blanks allowed).
    static std::optional<TimeOfDay> parse(std::string_view text);
    // The parsed value, or the fallback when the text is not a time.
    static TimeOfDay parseOr(std::string_view text, TimeOfDay fallback);

    constexpr int seconds() const { return seconds_; }
    std::string hhmmss() const;  // "hh:mm:ss"
    std::string ss() const;      // two-digit seconds
    std::string hhmm() const;    // "hh:mm"

    constexpr TimeOfDay minusSecond() const { return TimeOfDay(seconds_ - 1); }
    constexpr TimeOfDay plusSecond() const { return TimeOfDay(seconds_ + 1); }
    constexpr bool operator==(const TimeOfDay&) const = default;

  private:
    int seconds_ = 0;
};

}  // namespace pd
