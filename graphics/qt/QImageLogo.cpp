#include "graphics/qt/QImageLogo.h"

#include "graphics/BuildLogoRows.h"

#include <QImage>

LogoRows BuildLogoRows(const QImage& image)
{
    return BuildLogoRows(image.width(), image.height(), [&image](int x, int y) {
        const QRgb colour = image.pixel(x, y);
        return Rgb{static_cast<std::uint8_t>(qRed(colour)), static_cast<std::uint8_t>(qGreen(colour)),
                   static_cast<std::uint8_t>(qBlue(colour))};
    });
}
