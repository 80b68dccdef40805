#pragma once

#include <cstdint>
#include <functional>

// One pixel's colour as the picture decoder reports it (alpha already dropped).
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    bool operator==(const Rgb&) const = default;
};

// The colour of pixel (x, y); x = 0 is the left column, y = 0 the top row.
using PixelAccessor = std::function<Rgb(int x, int y)>;
