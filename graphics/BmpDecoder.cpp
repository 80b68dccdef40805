#include "graphics/BmpDecoder.h"

#include "graphics/ChannelScale.h"
#include "graphics/PictureFile.h"

#include <bit>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionBitFields = 3;
constexpr std::uint32_t kCompressionAlphaBitFields = 6;

std::uint32_t U16(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8);
}

std::uint32_t U32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// One colour channel described by a bit mask, as in 16- and 32-bit bitmaps.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            max = mask >> shift;
        }
    }
    std::uint8_t Of(std::uint32_t value) const { return ScaleChannel((value & mask) >> shift, max); }
};

// What the headers say, checked against the file's length.
struct BmpHeader {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    bool core = false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t coloursUsed = 0;
};

bool Damaged(std::string& error, const char* what)
{
    error = std::string("damaged bitmap: ") + what;
    return false;
}

bool ReadHeader(const std::vector<unsigned char>& bytes, BmpHeader& h, std::string& error)
{
    if (bytes.size() < 26)
        return Damaged(error, "too short");
    h.dataOffset = U32(bytes, 10);
    h.headerSize = U32(bytes, 14);
    h.core = h.headerSize == 12;
    if (!h.core && h.headerSize < 40)
        return Damaged(error, "unknown header");
    if (14ULL + h.headerSize > bytes.size())
        return Damaged(error, "header beyond the end of the file");
    if (h.core) {
        h.width = U16(bytes, 18);
        h.height = U16(bytes, 20);
        h.bitsPerPixel = U16(bytes, 24);
    } else {
        h.width = static_cast<std::int32_t>(U32(bytes, 18));
        h.height = static_cast<std::int32_t>(U32(bytes, 22));
        h.bitsPerPixel = U16(bytes, 28);
        h.compression = U32(bytes, 30);
        h.coloursUsed = U32(bytes, 46);
    }
    h.topDown = h.height < 0;
    h.height = std::llabs(h.height);
    if (h.width <= 0 || h.height <= 0 || h.width > PictureFile::kMaxSide || h.height > PictureFile::kMaxSide)
        return Damaged(error, "impossible size");
    return true;
}

}  // namespace

bool BmpDecoder::ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error)
{
    BmpHeader h;
    if (!ReadHeader(bytes, h, error))
        return false;
    width = static_cast<int>(h.width);
    height = static_cast<int>(h.height);
    return true;
}

bool BmpDecoder::Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error)
{
    const auto damaged = [&error](const char* what) { return Damaged(error, what); };
    BmpHeader h;
    if (!ReadHeader(bytes, h, error))
        return false;
    if (h.bitsPerPixel != 1 && h.bitsPerPixel != 4 && h.bitsPerPixel != 8 && h.bitsPerPixel != 16 && h.bitsPerPixel != 24 &&
        h.bitsPerPixel != 32)
        return damaged("unsupported number of bits per pixel");
    const bool bitFields = h.compression == kCompressionBitFields || h.compression == kCompressionAlphaBitFields;
    if (h.compression != kCompressionNone && !(bitFields && (h.bitsPerPixel == 16 || h.bitsPerPixel == 32))) {
        error = "compressed bitmaps are not supported; save it uncompressed";
        return false;
    }

    // The palette of an indexed bitmap follows the header.
    std::vector<Rgb> palette;
    if (h.bitsPerPixel <= 8) {
        const std::size_t entrySize = h.core ? 3 : 4;
        std::size_t count = h.coloursUsed != 0 ? h.coloursUsed : (1U << h.bitsPerPixel);
        if (count > 256)
            return damaged("palette too large");
        const std::size_t paletteStart = 14 + h.headerSize;
        if (paletteStart + count * entrySize > bytes.size())
            return damaged("palette beyond the end of the file");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = paletteStart + i * entrySize;
            palette.push_back(Rgb{bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    }

    Channel red(0x7C00), green(0x03E0), blue(0x001F);
    if (h.bitsPerPixel == 32) {
        red = Channel(0x00FF0000);
        green = Channel(0x0000FF00);
        blue = Channel(0x000000FF);
    }
    if (bitFields) {
        if (54 + 12 > bytes.size())
            return damaged("bit-field masks missing");
        red = Channel(U32(bytes, 54));
        green = Channel(U32(bytes, 58));
        blue = Channel(U32(bytes, 62));
    }

    const std::uint64_t stride = ((static_cast<std::uint64_t>(h.width) * h.bitsPerPixel + 31) / 32) * 4;
    if (h.dataOffset > bytes.size() || stride * static_cast<std::uint64_t>(h.height) > bytes.size() - h.dataOffset)
        return damaged("pixel data beyond the end of the file");

    picture.width = static_cast<int>(h.width);
    picture.height = static_cast<int>(h.height);
    picture.pixels.assign(static_cast<std::size_t>(h.width * h.height), Rgb{});
    for (std::int64_t row = 0; row < h.height; ++row) {
        const std::int64_t y = h.topDown ? row : h.height - 1 - row;
        const std::size_t rowStart = h.dataOffset + static_cast<std::size_t>(row * stride);
        for (std::int64_t x = 0; x < h.width; ++x) {
            Rgb colour;
            if (h.bitsPerPixel <= 8) {
                const std::size_t bitPos = static_cast<std::size_t>(x) * h.bitsPerPixel;
                const unsigned byte = bytes[rowStart + bitPos / 8];
                const unsigned shift = 8 - h.bitsPerPixel - (bitPos % 8);
                const unsigned index = (byte >> shift) & ((1U << h.bitsPerPixel) - 1);
                if (index >= palette.size())
                    return damaged("colour index outside the palette");
                colour = palette[index];
            } else if (h.bitsPerPixel == 24) {
                const std::size_t at = rowStart + static_cast<std::size_t>(x) * 3;
                colour = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
            } else {
                const std::size_t at = rowStart + static_cast<std::size_t>(x) * (h.bitsPerPixel / 8);
                const std::uint32_t value = h.bitsPerPixel == 16 ? U16(bytes, at) : U32(bytes, at);
                colour = Rgb{red.Of(value), green.Of(value), blue.Of(value)};
            }
            picture.pixels[static_cast<std::size_t>(y * h.width + x)] = colour;
        }
    }
    return true;
}
