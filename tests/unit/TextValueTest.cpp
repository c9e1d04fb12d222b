#include <gtest/gtest.h>

#include "core/TextValue.hpp"

namespace pd {

TEST(TextValue, TakesTheLeadingNumberAfterBlanks) {
    EXPECT_EQ(textValue("345"), 345);
    EXPECT_EQ(textValue("345\r\n"), 345);
    EXPECT_EQ(textValue("  \t 345\n"), 345);
    EXPECT_EQ(textValue("\r\n812"), 812);
    EXPECT_EQ(textValue("12abc"), 12);
    EXPECT_EQ(textValue("12 34"), 12);
    EXPECT_EQ(textValue("-40"), -40);
    EXPECT_EQ(textValue("+7"), 7);
    EXPECT_EQ(textValue("2.5x"), 2.5);
    EXPECT_EQ(textValue(".5"), 0.5);
    EXPECT_EQ(textValue("5e3"), 5000);
    EXPECT_EQ(textValue("5e"), 5);
    EXPECT_EQ(textValue("5 eggs"), 5);
    EXPECT_EQ(textValue("123456789012"), 123456789012.0);
}

TEST(TextValue, TextWithoutALeadingNumberCountsAsZero) {
    EXPECT_EQ(textValue(""), 0);
    EXPECT_EQ(textValue("   "), 0);
    EXPECT_EQ(textValue("error: couldn't connect to server"), 0);
    EXPECT_EQ(textValue("-"), 0);
    EXPECT_EQ(textValue("."), 0);
    EXPECT_EQ(textValue("x12"), 0);
    EXPECT_EQ(textValue("!!! STILL TO RUN !!!"), 0);
}

TEST(TextValue, DifferencesShowAsPlainDecimalNumbers) {
    EXPECT_EQ(plainNumber(textValue("345\r\n") - textValue("100\r\n")), "245");
    EXPECT_EQ(plainNumber(textValue("") - textValue("100")), "-100");
    EXPECT_EQ(plainNumber(textValue("7") - textValue("7")), "0");
    EXPECT_EQ(plainNumber(-0.0), "0");
    EXPECT_EQ(plainNumber(2.5), "2.5");
    EXPECT_EQ(plainNumber(870123456), "870123456");
}

TEST(TextValue, AOneLineValueHasNoLineBreakAndNoNul) {
    using namespace std::string_view_literals;
    struct Case {
        std::string_view text;
        const char* problem;
    };
    for (auto c : {Case{"", ""}, Case{"/home/me/my coin\t$x \"q\"", ""}, Case{"a\nb", "line break"},
                   Case{"a\r", "line break"}, Case{"a\0b"sv, "NUL"}}) {
        auto problem = oneLineProblem(c.text);
        if (*c.problem == 0)
            EXPECT_EQ(problem, "") << c.text;
        else
            EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
    }
}

}  // namespace pd
