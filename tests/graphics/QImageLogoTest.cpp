#include "articles/TempFolder.h"

#include "graphics/qt/QImageLogo.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
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

TEST(QImageLogo, LoadingChecksTheFileAndTheDeclaredSizeFirst)
{
    TempFolder folder;
    const auto save = [&folder](const char* name, int width, int height) {
        QImage picture(width, height, QImage::Format_Mono);
        picture.fill(1);
        const std::string path = folder.File(name);
        EXPECT_TRUE(picture.save(QString::fromStdString(path), "PNG"));
        return path;
    };
    // A bitmap header declaring 20000 x 20000, padded to 50 MB without disk.
    std::string header(62, '\0');
    const auto le32 = [&header](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    le32(10, 62);
    le32(14, 40);
    le32(18, 20000);
    le32(22, 20000);
    header[26] = 1;
    header[28] = 1;
    const std::string huge = folder.Write("huge.bmp", header);
    std::filesystem::resize_file(huge, 50ULL * 1024 * 1024);

    struct Case {
        std::string path;
        std::string error;
    };
    const Case cases[] = {
        // Qt will not size a bitmap this large from its header alone.
        {huge, huge + ": larger than 4194304 bytes"},
        // A few bytes declaring 20000 x 20000: refused before the pixels would cost 50 MB.
        {folder.Write("huge.pbm", "P4\n20000 20000\n"),
         folder.File("huge.pbm") + ": a logo is 360 dots wide, this picture 20000"},
        {save("wide.png", 400, 13), folder.File("wide.png") + ": a logo is 360 dots wide, this picture 400"},
        {save("low.png", 360, 12), folder.File("low.png") + ": a logo is 13 to 156 dots high, this picture 12"},
        {folder.Write("text.png", "not a picture"), folder.File("text.png") + ": not a picture this program reads"},
        {"/dev/zero", "/dev/zero: not a file (a device)"},
    };
    for (const Case& c : cases) {
        QImage image(1, 1, QImage::Format_RGB32);
        std::string error;
        EXPECT_FALSE(LoadLogoImage(c.path, image, error)) << c.path;
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(image.width(), 1) << "the image stays as it was";
    }

    QImage image;
    std::string error;
    ASSERT_TRUE(LoadLogoImage(save("logo.png", 360, 156), image, error)) << error;
    EXPECT_EQ(image.size(), QSize(360, 156));
    EXPECT_TRUE(BuildLogoRows(image).Ok());
}
