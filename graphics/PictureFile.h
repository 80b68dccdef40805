#pragma once

#include "graphics/Picture.h"

#include <string>
#include <vector>

// Loads a picture file without any GUI library: Windows bitmaps (BMP) and
// the portable any-map formats (PBM, PGM, PPM, ASCII and binary). The kind
// is told by the file's first bytes, not by its name.
class PictureFile {
public:
    // Pictures larger than this in either direction are refused as damaged.
    static constexpr int kMaxSide = 20000;

    // False with a message for the user when the file cannot be read or decoded.
    static bool Load(const std::string& path, Picture& picture, std::string& error);
    static bool Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error);
};
