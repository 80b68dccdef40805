#include "graphics/qt/LogoPreview.h"

#include "graphics/BuildLogoRows.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

QImage LogoPreview::FromRows(const LogoRows& logo)
{
    if (!logo.Ok() || logo.rows.empty()) {
        return {};
    }
    QImage image(kLogoWidth, static_cast<int>(logo.rows.size()), QImage::Format_Mono);
    // Index 0 is the paper, index 1 a printed dot.
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < image.height(); ++y) {
        const std::string& row = logo.rows[static_cast<std::size_t>(y)];
        if (row.size() != static_cast<std::size_t>(kLogoWidth / 4)) {
            return {};
        }
        for (int x = 0; x < kLogoWidth; ++x) {
            const int nibble = HexDigit(row[static_cast<std::size_t>(x / 4)]);
            if (nibble < 0) {
                return {};
            }
            if ((nibble >> (3 - x % 4)) & 1) {
                image.setPixel(x, y, 1);
            }
        }
    }
    return image;
}
