#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "core/NumberFormat.hpp"

namespace pd {

namespace {
const NumberSeparators english{',', '.'};
}

TEST(NumberFormat, WholeNumbersAreGroupedByThreeWhenTheMaskHasAComma) {
    EXPECT_EQ(formatMasked(0, 0, "###,##0", english), "0");
    EXPECT_EQ(formatMasked(999, 0, "###,##0", english), "999");
    EXPECT_EQ(formatMasked(1000, 0, "###,##0", english), "1,000");
    EXPECT_EQ(formatMasked(812345678901, 0, "###,##0", english), "812,345,678,901");
    // The mask's width does not limit the digits.
    EXPECT_EQ(formatMasked(std::numeric_limits<std::uint64_t>::max(), 0, "###,##0", english),
              "18,446,744,073,709,551,615");
    EXPECT_EQ(formatMasked(1234567, 0, "0", english), "1234567");
    EXPECT_EQ(formatMasked(7, 0, "000", english), "007");
    EXPECT_EQ(formatMasked(0, 0, "#", english), "");
}

TEST(NumberFormat, DecimalsAreRoundedHalfUpOnTheExactValue) {
    EXPECT_EQ(formatMasked(812345678901, 6, "###,##0.###", english), "812,345.679");
    EXPECT_EQ(formatMasked(812345678901, 9, "###,###,##0.###", english), "812.346");
    EXPECT_EQ(formatMasked(12345, 4, "0.###", english), "1.235");  // 1.2345: no binary 1.23449...
    EXPECT_EQ(formatMasked(12344, 4, "0.###", english), "1.234");
    // A carry runs through the whole part and grows it.
    EXPECT_EQ(formatMasked(9999996, 4, "###,##0.###", english), "1,000");
    EXPECT_EQ(formatMasked(999999500, 3, "###,##0", english), "1,000,000");
}

TEST(NumberFormat, OptionalDecimalsDropTrailingZerosAndThePoint) {
    EXPECT_EQ(formatMasked(2500, 3, "###,##0.###", english), "2.5");
    EXPECT_EQ(formatMasked(2000, 3, "###,##0.###", english), "2");
    EXPECT_EQ(formatMasked(0, 12, "###,##0.###,###", english), "0");
    EXPECT_EQ(formatMasked(2000, 3, "0.00#", english), "2.00");
    EXPECT_EQ(formatMasked(2010, 3, "0.0##", english), "2.01");
}

TEST(NumberFormat, CommasAfterThePointOnlySeparateMarks) {
    EXPECT_EQ(formatMasked(812345678901, 12, "###,##0.###,###", english), "0.812346");
    EXPECT_EQ(formatMasked(812345678901, 15, "###,##0.###,###,###", english), "0.000812346");
    EXPECT_EQ(formatMasked(1234567891234, 12, "###,##0.###,###", english), "1.234568");
}

TEST(NumberFormat, TheGivenSeparatorsAreUsed) {
    const NumberSeparators german{'.', ','};
    EXPECT_EQ(formatMasked(812345678901, 3, "###,###,##0.###", german), "812.345.678,901");
    const NumberSeparators swiss{'\'', '.'};
    EXPECT_EQ(formatMasked(1234567, 0, "###,##0", swiss), "1'234'567");
}

}  // namespace pd
