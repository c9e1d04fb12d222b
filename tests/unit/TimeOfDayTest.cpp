#include <gtest/gtest.h>

#include "core/TimeOfDay.hpp"

namespace pd {

TEST(TimeOfDay, ParsesClockTextsAndRejectsOthers) {
    EXPECT_EQ(TimeOfDay::parse("00:05:00")->seconds(), 300);
    EXPECT_EQ(TimeOfDay::parse("1:2:3")->seconds(), 3723);
    EXPECT_EQ(TimeOfDay::parse("23:59")->seconds(), 23 * 3600 + 59 * 60);
    EXPECT_EQ(TimeOfDay::parse(" 01:00:00 ")->seconds(), 3600);
    for (auto bad : {"", "5", "abc", "24:00:00", "00:60:00", "00:00:60", "1:2:3:4", "00:05:00x", "-1:00:00"})
        EXPECT_FALSE(TimeOfDay::parse(bad)) << bad;
    EXPECT_EQ(TimeOfDay::parseOr("nonsense", TimeOfDay(0, 5, 0)), TimeOfDay(0, 5, 0));
}

TEST(TimeOfDay, CountsLikeAClockAndWrapsAtADay) {
    EXPECT_EQ(TimeOfDay(0, 0, 0).minusSecond().hhmmss(), "23:59:59");
    EXPECT_EQ(TimeOfDay(23, 59, 59).plusSecond().hhmmss(), "00:00:00");
    EXPECT_EQ(TimeOfDay(0, 0, 11).minusSecond().ss(), "10");
    EXPECT_EQ(TimeOfDay(0, 0, 0).minusSecond().ss(), "59");
    EXPECT_EQ(TimeOfDay(7, 5, 0).hhmm(), "07:05");
}

}  // namespace pd
