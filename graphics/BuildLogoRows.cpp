#include "graphics/BuildLogoRows.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

}  // namespace

const char* LogoSizeProblem(int width, int height)
{
    if (width != kLogoWidth)
        return kLogoWidthMessage;
    if (height < kLogoMinHeight || height > kLogoMaxHeight)
        return kLogoHeightMessage;
    return nullptr;
}

LogoRows BuildLogoRows(int width, int height, const PixelAccessor& pixel)
{
    LogoRows result;
    if (const char* problem = LogoSizeProblem(width, height)) {
        result.error = problem;
        return result;
    }

    result.rows.reserve(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::string row;
        row.reserve(kLogoWidth / 4);
        unsigned accumulator = 0;
        for (int x = 0; x < kLogoWidth; ++x) {
            const Rgb colour = pixel(x, y);
            accumulator = (accumulator << 1) | ((colour.r == 0 && colour.g == 0 && colour.b == 0) ? 1U : 0U);
            if (x % 8 == 7) {
                row += kHexDigits[(accumulator >> 4) & 0x0F];
                row += kHexDigits[accumulator & 0x0F];
                accumulator = 0;
            }
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}
