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

}  // namespace

bool BmpDecoder::Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error)
{
    const auto damaged = [&error](const char* what) {
        error = std::string("damaged bitmap: ") + what;
        return false;
    };
    if (bytes.size() < 26)
        return damaged("too short");

    const std::uint32_t dataOffset = U32(bytes, 10);
    const std::uint32_t headerSize = U32(bytes, 14);
    const bool core = headerSize == 12;
    if (!core && headerSize < 40)
        return damaged("unknown header");
    if (14ULL + headerSize > bytes.size())
        return damaged("header beyond the end of the file");

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t coloursUsed = 0;
    if (core) {
        width = U16(bytes, 18);
        height = U16(bytes, 20);
        bitsPerPixel = U16(bytes, 24);
    } else {
        width = static_cast<std::int32_t>(U32(bytes, 18));
        height = static_cast<std::int32_t>(U32(bytes, 22));
        bitsPerPixel = U16(bytes, 28);
        compression = U32(bytes, 30);
        coloursUsed = U32(bytes, 46);
    }

    const bool topDown = height < 0;
    height = std::llabs(height);
    if (width <= 0 || height <= 0 || width > PictureFile::kMaxSide || height > PictureFile::kMaxSide)
        return damaged("impossible size");
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 24 &&
        bitsPerPixel != 32)
        return damaged("unsupported number of bits per pixel");
    const bool bitFields = compression == kCompressionBitFields || compression == kCompressionAlphaBitFields;
    if (compression != kCompressionNone && !(bitFields && (bitsPerPixel == 16 || bitsPerPixel == 32))) {
        error = "compressed bitmaps are not supported; save it uncompressed";
        return false;
    }

    // The palette of an indexed bitmap follows the header.
    std::vector<Rgb> palette;
    if (bitsPerPixel <= 8) {
        const std::size_t entrySize = core ? 3 : 4;
        std::size_t count = coloursUsed != 0 ? coloursUsed : (1U << bitsPerPixel);
        if (count > 256)
            return damaged("palette too large");
        const std::size_t paletteStart = 14 + headerSize;
        if (paletteStart + count * entrySize > bytes.size())
            return damaged("palette beyond the end of the file");
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t at = paletteStart + i * entrySize;
            palette.push_back(Rgb{bytes[at + 2], bytes[at + 1], bytes[at]});
        }
    }

    Channel red(0x7C00), green(0x03E0), blue(0x001F);
    if (bitsPerPixel == 32) {
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

    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32) * 4;
    if (dataOffset > bytes.size() || stride * static_cast<std::uint64_t>(height) > bytes.size() - dataOffset)
        return damaged("pixel data beyond the end of the file");

    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(static_cast<std::size_t>(width * height), Rgb{});
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t y = topDown ? row : height - 1 - row;
        const std::size_t rowStart = dataOffset + static_cast<std::size_t>(row * stride);
        for (std::int64_t x = 0; x < width; ++x) {
            Rgb colour;
            if (bitsPerPixel <= 8) {
                const std::size_t bitPos = static_cast<std::size_t>(x) * bitsPerPixel;
                const unsigned byte = bytes[rowStart + bitPos / 8];
                const unsigned shift = 8 - bitsPerPixel - (bitPos % 8);
                const unsigned index = (byte >> shift) & ((1U << bitsPerPixel) - 1);
                if (index >= palette.size())
                    return damaged("colour index outside the palette");
                colour = palette[index];
            } else if (bitsPerPixel == 24) {
                const std::size_t at = rowStart + static_cast<std::size_t>(x) * 3;
                colour = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
            } else {
                const std::size_t at = rowStart + static_cast<std::size_t>(x) * (bitsPerPixel / 8);
                const std::uint32_t value = bitsPerPixel == 16 ? U16(bytes, at) : U32(bytes, at);
                colour = Rgb{red.Of(value), green.Of(value), blue.Of(value)};
            }
            picture.pixels[static_cast<std::size_t>(y * width + x)] = colour;
        }
    }
    return true;
}
