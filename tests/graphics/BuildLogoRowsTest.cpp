#include "graphics/BuildLogoRows.h"
#include "Colours.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <ostream>

namespace {

// A white picture with the given pixels black.
PixelAccessor BlackAt(std::set<std::pair<int, int>> blacks)
{
    return [blacks = std::move(blacks)](int x, int y) { return blacks.count({x, y}) ? kBlack : kWhite; };
}

const std::string kZeroRow(90, '0');

}  // namespace

TEST(BuildLogoRows, AllWhitePictureGivesZeroRows)
{
    const LogoRows logo = BuildLogoRows(360, 13, BlackAt({}));
    ASSERT_TRUE(logo.Ok()) << logo.error;
    ASSERT_EQ(logo.rows.size(), 13U);
    for (const std::string& row : logo.rows)
        EXPECT_EQ(row, kZeroRow);
}

struct SinglePixelCase {
    int x;
    std::string expected;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SinglePixelCase& c, std::ostream* os)
{
    *os << "x = " << c.x;
}

class BuildLogoRowsBitOrder : public testing::TestWithParam<SinglePixelCase> {};

// Hand-worked rows: pixel 8k is bit 7 of byte k, bytes as upper-case hex.
TEST_P(BuildLogoRowsBitOrder, OneBlackPixelLandsInTheRightBit)
{
    const SinglePixelCase& c = GetParam();
    const LogoRows logo = BuildLogoRows(360, 13, BlackAt({{c.x, 5}}));
    ASSERT_TRUE(logo.Ok());
    EXPECT_EQ(logo.rows[5], c.expected);
    EXPECT_EQ(logo.rows[4], kZeroRow);
    EXPECT_EQ(logo.rows[6], kZeroRow);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, BuildLogoRowsBitOrder,
    testing::Values(SinglePixelCase{0, "80" + std::string(88, '0')}, SinglePixelCase{359, std::string(88, '0') + "01"},
                    SinglePixelCase{7, "01" + std::string(88, '0')}, SinglePixelCase{8, "0080" + std::string(86, '0')},
                    SinglePixelCase{10, "0020" + std::string(86, '0')},
                    SinglePixelCase{355, std::string(88, '0') + "10"}));

TEST(BuildLogoRows, HexDigitsAreUpperCaseAndBytesIndependent)
{
    // Byte 0: pixels 0,2,3,4,6 -> 1011 1010 = BA; byte 1: all eight -> FF; byte 44: pixel 352 and 356 -> 88.
    std::set<std::pair<int, int>> blacks{{0, 0}, {2, 0}, {3, 0}, {4, 0}, {6, 0}, {352, 0}, {356, 0}};
    for (int x = 8; x < 16; ++x)
        blacks.insert({x, 0});
    const LogoRows logo = BuildLogoRows(360, 20, BlackAt(blacks));
    ASSERT_TRUE(logo.Ok());
    EXPECT_EQ(logo.rows[0], "BAFF" + std::string(84, '0') + "88");
}

TEST(BuildLogoRows, OnlyExactBlackIsPrinted)
{
    const Rgb nearlyBlack[] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {1, 1, 1}};
    for (const Rgb colour : nearlyBlack) {
        const LogoRows logo = BuildLogoRows(360, 13, [colour](int, int) { return colour; });
        ASSERT_TRUE(logo.Ok());
        EXPECT_EQ(logo.rows[0], kZeroRow) << int(colour.r) << "," << int(colour.g) << "," << int(colour.b);
    }
    const LogoRows black = BuildLogoRows(360, 13, [](int, int) { return kBlack; });
    EXPECT_EQ(black.rows[12], std::string(90, 'F'));
}

struct LimitCase {
    int width;
    int height;
    const char* message;  // null when accepted
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const LimitCase& c, std::ostream* os)
{
    *os << c.width << " x " << c.height;
}

class BuildLogoRowsLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(BuildLogoRowsLimits, SizeIsCheckedWidthFirst)
{
    const LimitCase& c = GetParam();
    int calls = 0;
    const LogoRows logo = BuildLogoRows(c.width, c.height, [&calls](int, int) {
        ++calls;
        return kWhite;
    });
    if (c.message == nullptr) {
        EXPECT_TRUE(logo.Ok()) << logo.error;
        EXPECT_EQ(logo.rows.size(), static_cast<std::size_t>(c.height));
    } else {
        EXPECT_EQ(logo.error, c.message);
        EXPECT_TRUE(logo.rows.empty());
        EXPECT_EQ(calls, 0) << "a refused picture must not be read";
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BuildLogoRowsLimits,
                         testing::Values(LimitCase{361, 100, "Sirina mora biti 360!"},
                                         LimitCase{359, 100, "Sirina mora biti 360!"},
                                         LimitCase{0, 0, "Sirina mora biti 360!"},
                                         LimitCase{100, 5, "Sirina mora biti 360!"},
                                         LimitCase{360, 12, "Visina mora biti od 13 do 156 piksela!"},
                                         LimitCase{360, 157, "Visina mora biti od 13 do 156 piksela!"},
                                         LimitCase{360, 13, nullptr}, LimitCase{360, 156, nullptr}));
