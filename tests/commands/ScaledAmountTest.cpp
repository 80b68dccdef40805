#include "ecr/commands/ScaledAmount.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct FormatCase {
    std::int32_t value;
    std::int32_t decimals;
    const char* text;
};

TEST(ScaledAmountTest, FormatPlacesThePointAndPadsWithZeros)
{
    const FormatCase cases[] = {
        {1234, 2, "12.34"}, {100, 2, "1.00"},     {12, 2, "0.12"},     {5, 2, "0.05"},
        {0, 2, "0.00"},     {50, 2, "0.50"},      {7, 3, "0.007"},     {1500, 3, "1.500"},
        {2000, 2, "20.00"}, {123456, 3, "123.456"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(std::string(FormatScaled(c.value, c.decimals).Data()), c.text) << c.value << " / " << c.decimals;
    }
}

TEST(ScaledAmountTest, FormatOfANegativeValueIsMinusAndTheMagnitude)
{
    const FormatCase cases[] = {
        {-5, 2, "-0.05"},
        {-1234, 2, "-12.34"},
        {-7, 3, "-0.007"},
        {INT_MIN, 2, "-21474836.48"},
        {INT_MAX, 2, "21474836.47"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(std::string(FormatScaled(c.value, c.decimals).Data()), c.text) << c.value;
    }
}

struct ParseCase {
    const char* text;
    std::int32_t decimals;
    std::int32_t value;
};

TEST(ScaledAmountTest, ParseReadsWhatTheUserTyped)
{
    const ParseCase cases[] = {
        {"12.3", 2, 1230},  {"12,345", 2, 1234}, {"1.2.3", 2, 123}, {"-5", 2, 500},
        {"abc", 2, 0},      {"", 2, 0},          {"7", 3, 7000},    {"1.5", 3, 1500},
        {"12.34", 2, 1234}, {" 1 2 ", 2, 1200},  {".5", 2, 50},     {"3.", 2, 300},
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ParseScaled(c.text, c.decimals), c.value) << '"' << c.text << "\" / " << c.decimals;
    }
}

TEST(ScaledAmountTest, ParseSaturatesAtTheLargestInt)
{
    const ParseCase cases[] = {
        {"21474836.47", 2, INT_MAX},
        {"21474836.48", 2, INT_MAX},
        {"30000000", 2, INT_MAX},
        {"99999999999999999999", 2, INT_MAX},
        {"2147483647", 0, INT_MAX},
        {"21474836.46", 2, INT_MAX - 1},
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(ParseScaled(c.text, c.decimals), c.value) << c.text;
    }
}

TEST(ScaledAmountTest, FormattedAmountsParseBackToTheSameValue)
{
    for (const std::int32_t value : {0, 5, 50, 1234, 1, 99, 100, 101, 999999}) {
        EXPECT_EQ(ParseScaled(FormatScaled(value, 2), 2), value) << value;
        EXPECT_EQ(ParseScaled(FormatScaled(value, 3), 3), value) << value;
    }
    EXPECT_EQ(ParseScaled("0.00", 2), 0);
    EXPECT_EQ(ParseScaled("0.05", 2), 5);
    EXPECT_EQ(ParseScaled("0.50", 2), 50);
}

}  // namespace
