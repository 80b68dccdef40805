#pragma once

#include <QImage>

// The receipt logo the graphics dialog shows and sends until a picture file
// is loaded: the program's name beside a receipt leaving a printer, 360 x 79
// dots in two colours (pure black and white, so every dark dot prints).
class BuiltInLogo {
public:
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 79;

    static QImage Image();
};
