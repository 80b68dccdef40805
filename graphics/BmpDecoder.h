#pragma once

#include "graphics/Picture.h"

#include <string>
#include <vector>

// Windows bitmap files: 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed
// or with bit-field masks, bottom-up or top-down, with the core (OS/2) or an
// info header of any later version. Run-length compressed bitmaps are refused.
class BmpDecoder {
public:
    static bool Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error);
    // Width and height from the header alone, before any pixel costs memory.
    static bool ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error);
};
