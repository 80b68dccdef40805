#include "AllocationMeter.h"
#include "articles/TempFolder.h"

#include "graphics/PictureFile.h"
#include "Colours.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::vector<unsigned char> Bytes(std::initializer_list<int> values)
{
    std::vector<unsigned char> bytes;
    for (int v : values)
        bytes.push_back(static_cast<unsigned char>(v));
    return bytes;
}

std::vector<unsigned char> Text(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

// 14-byte file header + 40-byte info header, little-endian by hand.
std::vector<unsigned char> BmpHeader(int dataOffset, int width, int height, int bits, int compression, int colours)
{
    auto le32 = [](int v) {
        return Bytes({v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF, (v >> 24) & 0xFF});
    };
    std::vector<unsigned char> h = Bytes({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0});
    for (auto part : {le32(dataOffset), le32(40), le32(width), le32(height)})
        h.insert(h.end(), part.begin(), part.end());
    h.insert(h.end(), {1, 0, static_cast<unsigned char>(bits), 0});
    for (auto part : {le32(compression), le32(0), le32(2835), le32(2835), le32(colours), le32(0)})
        h.insert(h.end(), part.begin(), part.end());
    return h;
}

void Append(std::vector<unsigned char>& to, std::initializer_list<int> values)
{
    for (int v : values)
        to.push_back(static_cast<unsigned char>(v));
}

Picture MustDecode(const std::vector<unsigned char>& bytes)
{
    Picture picture;
    std::string error;
    EXPECT_TRUE(PictureFile::Decode(bytes, picture, error)) << error;
    return picture;
}

}  // namespace

TEST(BmpDecoding, TwentyFourBitBottomUpWithRowPadding)
{
    // 2x2: the file's first row is the picture's bottom row; each row padded to 8 bytes.
    auto bmp = BmpHeader(54, 2, 2, 24, 0, 0);
    Append(bmp, {0x00, 0x00, 0xFF, /*red*/ 0xFF, 0xFF, 0xFF, /*white*/ 0, 0});
    Append(bmp, {0x00, 0x00, 0x00, /*black*/ 0x01, 0x00, 0x00, /*blue 1*/ 0, 0});
    const Picture p = MustDecode(bmp);
    ASSERT_EQ(p.width, 2);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.At(0, 0), kBlack);
    EXPECT_EQ(p.At(1, 0), (Rgb{0, 0, 1}));
    EXPECT_EQ(p.At(0, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(p.At(1, 1), kWhite);
}

TEST(BmpDecoding, OneBitPaletteIsLookedUpNotAssumed)
{
    // Palette entry 0 black, entry 1 white: a set bit is white here. Top-down (negative height).
    auto bmp = BmpHeader(62, 10, -2, 1, 0, 2);
    Append(bmp, {0, 0, 0, 0, 255, 255, 255, 0});
    Append(bmp, {0b10100000, 0b01000000, 0, 0});  // row 0: pixels 0, 2 and 9 white
    Append(bmp, {0b00000000, 0b00000000, 0, 0});  // row 1: all black
    const Picture p = MustDecode(bmp);
    ASSERT_EQ(p.width, 10);
    EXPECT_EQ(p.At(0, 0), kWhite);
    EXPECT_EQ(p.At(1, 0), kBlack);
    EXPECT_EQ(p.At(2, 0), kWhite);
    EXPECT_EQ(p.At(8, 0), kBlack);
    EXPECT_EQ(p.At(9, 0), kWhite);
    EXPECT_EQ(p.At(9, 1), kBlack);
}

TEST(BmpDecoding, SixteenAndThirtyTwoBitChannels)
{
    // 16-bit 5-5-5: 0x0001 is the darkest blue, which must stay non-black.
    auto bmp16 = BmpHeader(54, 2, 1, 16, 0, 0);
    Append(bmp16, {0x01, 0x00, 0x00, 0x7C});
    const Picture p16 = MustDecode(bmp16);
    EXPECT_NE(p16.At(0, 0), kBlack);
    EXPECT_EQ(p16.At(0, 0).r, 0);
    EXPECT_EQ(p16.At(1, 0), (Rgb{255, 0, 0}));

    // 32-bit with bit fields R=0x000000FF, G=0x0000FF00, B=0x00FF0000 (reversed order), alpha ignored.
    auto bmp32 = BmpHeader(66, 1, 1, 32, 3, 0);
    Append(bmp32, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0});
    Append(bmp32, {0x10, 0x20, 0x30, 0xFF});
    const Picture p32 = MustDecode(bmp32);
    EXPECT_EQ(p32.At(0, 0), (Rgb{0x10, 0x20, 0x30}));
}

TEST(BmpDecoding, DamagedOrUnsupportedFilesAreRefused)
{
    auto truncated = BmpHeader(54, 4, 4, 24, 0, 0);
    Append(truncated, {0, 0, 0});
    auto rle = BmpHeader(54, 1, 1, 8, 1, 0);
    Append(rle, {0, 0, 0, 0});
    auto badIndex = BmpHeader(58, 1, 1, 8, 0, 1);
    Append(badIndex, {0, 0, 0, 0, 5, 0, 0, 0});
    auto hugeOffset = BmpHeader(0x7FFFFFF0, 1, 1, 24, 0, 0);
    Append(hugeOffset, {0, 0, 0, 0});

    const std::vector<std::vector<unsigned char>> cases{truncated, rle, badIndex, hugeOffset, Text("BM"),
                                                        Text("GIF89a"), Text("")};
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Picture picture;
        std::string error;
        EXPECT_FALSE(PictureFile::Decode(cases[i], picture, error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
    }
}

TEST(PnmDecoding, AsciiAndBinaryBitmapsAgree)
{
    const Picture ascii = MustDecode(Text("P1\n# comment\n10 2\n1 0 1 0 0 0 0 0 0 1\n0000000001\n"));
    auto binary = Text("P4\n10 2\n");
    Append(binary, {0b10100000, 0b01000000, 0b00000000, 0b01000000});
    const Picture bin = MustDecode(binary);
    ASSERT_EQ(ascii.width, 10);
    ASSERT_EQ(bin.height, 2);
    EXPECT_EQ(ascii.pixels, bin.pixels);
    EXPECT_EQ(ascii.At(0, 0), kBlack);
    EXPECT_EQ(ascii.At(1, 0), kWhite);
    EXPECT_EQ(ascii.At(9, 1), kBlack);
}

TEST(PnmDecoding, GreyAndColourMapsScaleWithoutMakingBlack)
{
    const Picture grey = MustDecode(Text("P2 3 1 65535 0 1 65535"));
    EXPECT_EQ(grey.At(0, 0), kBlack);
    EXPECT_NE(grey.At(1, 0), kBlack) << "a sample of 1 is not black, however dark";
    EXPECT_EQ(grey.At(2, 0), kWhite);

    auto p6 = Text("P6\n2 1\n255\n");
    Append(p6, {0, 0, 1, 0, 0, 0});
    const Picture colour = MustDecode(p6);
    EXPECT_EQ(colour.At(0, 0), (Rgb{0, 0, 1}));
    EXPECT_EQ(colour.At(1, 0), kBlack);

    auto p5 = Text("P5 2 1 1000\n");
    Append(p5, {0x00, 0x00, 0x03, 0xE8});
    const Picture deep = MustDecode(p5);
    EXPECT_EQ(deep.At(0, 0), kBlack);
    EXPECT_EQ(deep.At(1, 0), kWhite);
}

TEST(PnmDecoding, DamagedFilesAreRefused)
{
    const char* cases[] = {"P1\n3 2\n1 0 1\n0 1\n", "P3 1 1 255 0 0 256", "P6\n2 2\n255\nabc", "P2 0 5 255",
                           "P5 1 1 70000\n\x01", "P1 x y"};
    for (const char* text : cases) {
        Picture picture;
        std::string error;
        EXPECT_FALSE(PictureFile::Decode(Text(text), picture, error)) << text;
    }
}

TEST(PnmDecoding, HeaderWithoutPixelDataIsRefusedBeforeAnythingIsAllocated)
{
    // A few bytes claiming a big picture: refused as too short for the claim,
    // with the picture untouched, not after allocating room for every pixel.
    const char* cases[] = {"P1 2000 2000\n", "P2 2000 2000 255\n", "P3 2000 2000 255\n0 0 0\n",
                           "P4 2000 2000\n", "P5 2000 2000 255\n", "P6 2000 2000 255\n\x01\x02"};
    for (const char* text : cases) {
        Picture picture;
        std::string error;
        EXPECT_FALSE(PictureFile::Decode(Text(text), picture, error)) << text;
        EXPECT_EQ(error, "damaged picture: pixel data beyond the end of the file") << text;
        EXPECT_EQ(picture.width, 0) << text;
        EXPECT_TRUE(picture.pixels.empty()) << text;
    }
}

TEST(PictureFileLoadLogo, SizesAreCheckedFromTheHeaderBeforeAnyPixelCostsMemory)
{
    TempFolder folder;
    const auto file = [&folder](const std::string& name, std::vector<unsigned char> bytes, std::uintmax_t size = 0) {
        const std::string path = folder.Write(name, std::string(bytes.begin(), bytes.end()));
        if (size != 0)
            std::filesystem::resize_file(path, size);  // sparse: no disk, but a reader would pay in memory
        return path;
    };
    constexpr std::uintmax_t k50MB = 50ULL * 1024 * 1024;
    std::filesystem::create_directory(folder.File("folder"));
    auto shortBmp = BmpHeader(54, 360, 100, 24, 0, 0);
    Append(shortBmp, {0, 0, 0});
    struct Case {
        std::string path;
        std::string error;
    };
    std::vector<Case> cases = {
        {file("huge.bmp", BmpHeader(62, 20000, 20000, 1, 0, 2), k50MB),
         folder.File("huge.bmp") + ": a logo is 360 dots wide, this picture 20000"},
        {file("tall.bmp", BmpHeader(62, 360, -20000, 1, 0, 2), k50MB),
         folder.File("tall.bmp") + ": a logo is 13 to 156 dots high, this picture 20000"},
        {file("huge.pbm", Text("P4\n20000 20000\n"), k50MB),
         folder.File("huge.pbm") + ": a logo is 360 dots wide, this picture 20000"},
        {file("tall.pgm", Text("P5 360 157 255\n"), k50MB),
         folder.File("tall.pgm") + ": a logo is 13 to 156 dots high, this picture 157"},
        {file("padded.bmp", BmpHeader(62, 360, 156, 1, 0, 2), k50MB),
         folder.File("padded.bmp") + ": larger than 4194304 bytes"},
        {file("noise.bin", Text("\x01\x02"), k50MB), folder.File("noise.bin") + ": larger than 4194304 bytes"},
        {file("short.bmp", shortBmp), folder.File("short.bmp") + ": damaged bitmap: pixel data beyond the end of the file"},
        {file("text.bmp", Text("this is text")),
         folder.File("text.bmp") + ": not a picture this program reads (BMP, PBM, PGM or PPM)"},
        {folder.File("folder"), folder.File("folder") + ": not a file (a directory)"},
    };
#ifndef _WIN32
    // Devices and FIFOs, which a plain read would never finish.
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0600), 0);
    cases.push_back({"/dev/zero", "/dev/zero: not a file (a device)"});
    cases.push_back({folder.File("pipe"), folder.File("pipe") + ": not a file (a FIFO)"});
#endif
    for (const Case& c : cases) {
        Picture picture;
        std::string error;
        AllocationMeter meter;
        EXPECT_FALSE(PictureFile::LoadLogo(c.path, picture, error)) << c.path;
        EXPECT_EQ(error, c.error);
        EXPECT_LT(meter.PeakBytes(), 256U * 1024) << c.path;
        EXPECT_TRUE(picture.pixels.empty()) << c.path;
    }
}

TEST(PictureFileLoadLogo, ALogoPictureLoads)
{
    TempFolder folder;
    std::string text = "P1\n360 13\n";
    for (int i = 0; i < 360 * 13; ++i)
        text += i == 0 ? '1' : '0';
    Picture picture;
    std::string error;
    ASSERT_TRUE(PictureFile::LoadLogo(folder.Write("logo.pbm", text), picture, error)) << error;
    EXPECT_EQ(picture.width, 360);
    EXPECT_EQ(picture.height, 13);
    EXPECT_EQ(picture.At(0, 0), kBlack);
    EXPECT_EQ(picture.At(1, 0), kWhite);
}

TEST(PictureFileLoadLogo, MissingFileNamesThePath)
{
    Picture picture;
    std::string error;
    EXPECT_FALSE(PictureFile::LoadLogo("/nonexistent/logo.bmp", picture, error));
    EXPECT_EQ(error, "/nonexistent/logo.bmp: cannot be opened");  // said for ecrctl, in English
}
