#include "graphics/PnmDecoder.h"

#include "graphics/ChannelScale.h"
#include "graphics/PictureFile.h"

#include <cctype>
#include <cstdint>

namespace {

// Reads the header's and the ASCII forms' numbers, skipping white space and comments.
class PnmReader {
public:
    explicit PnmReader(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {}

    bool Number(std::uint32_t& value)
    {
        SkipSpace();
        if (m_at >= m_bytes.size() || !std::isdigit(m_bytes[m_at]))
            return false;
        std::uint64_t result = 0;
        while (m_at < m_bytes.size() && std::isdigit(m_bytes[m_at])) {
            result = result * 10 + (m_bytes[m_at++] - '0');
            if (result > 0xFFFFFFFFULL)
                return false;
        }
        value = static_cast<std::uint32_t>(result);
        return true;
    }

    // A P1 pixel is one digit; the digits need not be separated.
    bool BitDigit(unsigned& bit)
    {
        SkipSpace();
        if (m_at >= m_bytes.size() || (m_bytes[m_at] != '0' && m_bytes[m_at] != '1'))
            return false;
        bit = m_bytes[m_at++] - '0';
        return true;
    }

    // Exactly one white-space byte separates the header from binary data.
    bool EndOfHeader()
    {
        if (m_at >= m_bytes.size() || !std::isspace(m_bytes[m_at]))
            return false;
        ++m_at;
        return true;
    }

    std::size_t Position() const { return m_at; }
    void Skip(std::size_t count) { m_at += count; }

private:
    void SkipSpace()
    {
        while (m_at < m_bytes.size()) {
            if (m_bytes[m_at] == '#') {
                while (m_at < m_bytes.size() && m_bytes[m_at] != '\n' && m_bytes[m_at] != '\r')
                    ++m_at;
            } else if (std::isspace(m_bytes[m_at])) {
                ++m_at;
            } else {
                break;
            }
        }
    }

    const std::vector<unsigned char>& m_bytes;
    std::size_t m_at = 0;
};

// What the header says; the reader stands at the first sample.
struct PnmHeader {
    bool bitmap = false;
    bool grey = false;
    bool binary = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t maxValue = 1;
};

bool Damaged(std::string& error, const char* what)
{
    error = std::string("damaged picture: ") + what;
    return false;
}

bool ReadHeader(const std::vector<unsigned char>& bytes, PnmReader& reader, PnmHeader& h, std::string& error)
{
    if (bytes.size() < 3 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6')
        return Damaged(error, "not a portable any-map");
    const char kind = static_cast<char>(bytes[1]);
    h.bitmap = kind == '1' || kind == '4';
    h.grey = kind == '2' || kind == '5';
    h.binary = kind >= '4';
    reader.Skip(2);
    if (!reader.Number(h.width) || !reader.Number(h.height) || (!h.bitmap && !reader.Number(h.maxValue)))
        return Damaged(error, "bad header");
    if (h.width == 0 || h.height == 0 || h.width > PictureFile::kMaxSide || h.height > PictureFile::kMaxSide)
        return Damaged(error, "impossible size");
    if (h.maxValue == 0 || h.maxValue > 65535)
        return Damaged(error, "bad maximum value");
    if (h.binary && !reader.EndOfHeader())
        return Damaged(error, "bad header");
    return true;
}

}  // namespace

bool PnmDecoder::ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error)
{
    PnmReader reader(bytes);
    PnmHeader h;
    if (!ReadHeader(bytes, reader, h, error))
        return false;
    width = static_cast<int>(h.width);
    height = static_cast<int>(h.height);
    return true;
}

bool PnmDecoder::Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error)
{
    const auto damaged = [&error](const char* what) { return Damaged(error, what); };
    PnmReader reader(bytes);
    PnmHeader h;
    if (!ReadHeader(bytes, reader, h, error))
        return false;
    const bool bitmap = h.bitmap;
    const bool grey = h.grey;
    const bool binary = h.binary;
    const std::uint32_t width = h.width;
    const std::uint32_t height = h.height;
    const std::uint32_t maxValue = h.maxValue;

    const unsigned samplesPerPixel = bitmap || grey ? 1 : 3;
    const std::size_t sampleBytes = maxValue > 255 ? 2 : 1;
    const std::size_t start = reader.Position();
    const std::uint64_t rowBytes = bitmap ? (width + 7) / 8 : static_cast<std::uint64_t>(width) * samplesPerPixel * sampleBytes;
    // Checked before the pixels are allocated: a header alone must not cost
    // gigabytes. An ASCII sample takes at least one character.
    const std::uint64_t leastData =
        binary ? rowBytes * height : static_cast<std::uint64_t>(width) * height * samplesPerPixel;
    if (leastData > bytes.size() - start)
        return damaged("pixel data beyond the end of the file");

    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    picture.pixels.assign(static_cast<std::size_t>(width) * height, Rgb{});

    if (binary) {
        for (std::uint32_t y = 0; y < height; ++y) {
            const std::size_t row = start + static_cast<std::size_t>(y * rowBytes);
            for (std::uint32_t x = 0; x < width; ++x) {
                Rgb& pixel = picture.pixels[static_cast<std::size_t>(y) * width + x];
                if (bitmap) {
                    const bool black = (bytes[row + x / 8] >> (7 - x % 8)) & 1;
                    pixel = black ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
                    continue;
                }
                std::uint8_t channel[3];
                for (unsigned s = 0; s < samplesPerPixel; ++s) {
                    const std::size_t at = row + (static_cast<std::size_t>(x) * samplesPerPixel + s) * sampleBytes;
                    const std::uint32_t value = sampleBytes == 2 ? (bytes[at] << 8) | bytes[at + 1] : bytes[at];
                    if (value > maxValue)
                        return damaged("sample above the maximum value");
                    channel[s] = ScaleChannel(value, maxValue);
                }
                pixel = grey ? Rgb{channel[0], channel[0], channel[0]} : Rgb{channel[0], channel[1], channel[2]};
            }
        }
        return true;
    }

    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        Rgb& pixel = picture.pixels[i];
        if (bitmap) {
            unsigned bit = 0;
            if (!reader.BitDigit(bit))
                return damaged("missing pixels");
            pixel = bit ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
            continue;
        }
        std::uint8_t channel[3];
        for (unsigned s = 0; s < samplesPerPixel; ++s) {
            std::uint32_t value = 0;
            if (!reader.Number(value))
                return damaged("missing pixels");
            if (value > maxValue)
                return damaged("sample above the maximum value");
            channel[s] = ScaleChannel(value, maxValue);
        }
        pixel = grey ? Rgb{channel[0], channel[0], channel[0]} : Rgb{channel[0], channel[1], channel[2]};
    }
    return true;
}
