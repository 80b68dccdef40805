#include "graphics/qt/QImageLogo.h"

#include <QImage>
#include <gtest/gtest.h>

#include <string>

TEST(QImageLogo, PaletteAndAlphaPicturesGiveTheirColours)
{
    // An indexed picture whose index 0 is white: only index 1 (black) prints.
    QImage indexed(360, 13, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    indexed.fill(0);
    indexed.setPixel(0, 0, 1);
    LogoRows logo = BuildLogoRows(indexed);
    ASSERT_TRUE(logo.Ok()) << logo.error;
    EXPECT_EQ(logo.rows[0], "80" + std::string(88, '0'));

    // Fully transparent black is still black once alpha is ignored.
    QImage alpha(360, 13, QImage::Format_ARGB32);
    alpha.fill(qRgba(255, 255, 255, 255));
    alpha.setPixel(359, 12, qRgba(0, 0, 0, 0));
    logo = BuildLogoRows(alpha);
    ASSERT_TRUE(logo.Ok());
    EXPECT_EQ(logo.rows[12], std::string(88, '0') + "01");
}

TEST(QImageLogo, NullImageGetsTheWidthMessage)
{
    EXPECT_EQ(BuildLogoRows(QImage()).error, "Sirina mora biti 360!");
}
