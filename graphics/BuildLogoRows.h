#pragma once

#include "graphics/LogoRows.h"
#include "graphics/Rgb.h"

// The printer's line is 360 dots; the register keeps 13 to 156 rows.
constexpr int kLogoWidth = 360;
constexpr int kLogoMinHeight = 13;
constexpr int kLogoMaxHeight = 156;
constexpr const char* kLogoWidthMessage = "Sirina mora biti 360!";
constexpr const char* kLogoHeightMessage = "Visina mora biti od 13 do 156 piksela!";

// The message for a picture of a size the logo cannot have (the width is
// checked first), or null when the size is fine.
const char* LogoSizeProblem(int width, int height);

// Converts a picture to logo rows. A dot is printed only for exact black
// (r = g = b = 0); pixel 8k of a row is bit 7 of byte k. The width is checked
// before the height, and every row is built before the caller sends any.
LogoRows BuildLogoRows(int width, int height, const PixelAccessor& pixel);
