#pragma once

#include "graphics/Rgb.h"

#include <vector>

// A decoded picture, rows top to bottom, pixels left to right.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    PixelAccessor Accessor() const
    {
        return [this](int x, int y) { return At(x, y); };
    }
};
