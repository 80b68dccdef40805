#include "graphics/qt/LogoPreview.h"

#include "graphics/BuildLogoRows.h"
#include "graphics/qt/QImageLogo.h"

#include <QImage>
#include <gtest/gtest.h>

#include <string>

namespace {

bool Dot(const QImage& preview, int x, int y)
{
    return preview.pixel(x, y) == qRgb(0, 0, 0);
}

TEST(LogoPreview, ShowsADotForEverySetBitAndPaperElsewhere)
{
    LogoRows logo;
    // Row 0: bit 7 of byte 0 and bit 0 of byte 44; row 1: 0xA5 in byte 1;
    // the rest is paper.
    logo.rows = {"80" + std::string(86, '0') + "01", "00A5" + std::string(86, '0')};
    const QImage preview = LogoPreview::FromRows(logo);
    ASSERT_EQ(preview.size(), QSize(360, 2));
    for (int x = 0; x < 360; ++x) {
        EXPECT_EQ(Dot(preview, x, 0), x == 0 || x == 359) << x;
        // 0xA5 = 1010 0101 over x = 8..15.
        EXPECT_EQ(Dot(preview, x, 1), x == 8 || x == 10 || x == 13 || x == 15) << x;
    }
    EXPECT_EQ(preview.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(LogoPreview, RowsThatCannotBeShownGiveNoPicture)
{
    const LogoRows refused = BuildLogoRows(100, 20, [](int, int) { return Rgb{}; });
    EXPECT_TRUE(LogoPreview::FromRows(refused).isNull());
    EXPECT_TRUE(LogoPreview::FromRows(LogoRows{}).isNull());
    LogoRows shortRow;
    shortRow.rows = {std::string(88, '0')};
    EXPECT_TRUE(LogoPreview::FromRows(shortRow).isNull());
    LogoRows lowerCase;
    lowerCase.rows = {"ff" + std::string(88, '0')};
    EXPECT_TRUE(LogoPreview::FromRows(lowerCase).isNull());
}

TEST(LogoPreview, MatchesTheConvertedPictureDotForDot)
{
    // Only exact black prints; near-black and colours stay paper.
    QImage picture(360, 13, QImage::Format_RGB32);
    picture.fill(qRgb(255, 255, 255));
    const QRgb colours[] = {qRgb(0, 0, 0), qRgb(0, 0, 1), qRgb(1, 0, 0), qRgb(128, 128, 128), qRgb(0, 0, 0)};
    for (int i = 0; i < 5; ++i) {
        picture.setPixel(17 * i + 3, 2 * i + 1, colours[i]);
    }
    const QImage preview = LogoPreview::FromRows(BuildLogoRows(picture));
    ASSERT_EQ(preview.size(), picture.size());
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 360; ++x) {
            EXPECT_EQ(Dot(preview, x, y), picture.pixel(x, y) == qRgb(0, 0, 0)) << x << "," << y;
        }
    }
}

}  // namespace
