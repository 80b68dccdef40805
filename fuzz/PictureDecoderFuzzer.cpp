// Whatever a picture file holds, the decoders end in a picture or a message:
// never a crash, a sanitizer report, or an allocation the file's own size
// does not pay for. A picture they accept has the size its header declares,
// every pixel, and converts to logo rows when that size is a logo's.
#include "graphics/BuildLogoRows.h"
#include "graphics/PictureFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<unsigned char> bytes(data, data + size);
    int width = -1;
    int height = -1;
    std::string sizeError;
    const bool sized = PictureFile::ReadSize(bytes, width, height, sizeError);

    Picture picture;
    std::string error;
    if (!PictureFile::Decode(bytes, picture, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    // A decoded picture had a readable header, and it told the truth.
    if (!sized || picture.width != width || picture.height != height)
        std::abort();
    if (picture.pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        std::abort();
    // Decoding costs at most a few pixels' worth per byte of file: 1 bit per
    // pixel in the file becomes 3 bytes in memory.
    if (picture.pixels.size() > 8 * size + 8)
        std::abort();
    const LogoRows rows = BuildLogoRows(picture.width, picture.height, picture.Accessor());
    if (rows.Ok() != (LogoSizeProblem(width, height) == nullptr))
        std::abort();
    if (rows.Ok()) {
        if (rows.rows.size() != static_cast<std::size_t>(height))
            std::abort();
        for (const std::string& row : rows.rows) {
            if (row.size() != 90)
                std::abort();
        }
    }
    return 0;
}
