#pragma once

#include "graphics/Picture.h"

#include <string>
#include <vector>

// The portable any-map formats: P1/P4 bitmaps (1 is black), P2/P5 grey maps
// and P3/P6 pixel maps, with any maximum value up to 65535 and # comments in
// the header. Only the first picture of a file is read.
class PnmDecoder {
public:
    static bool Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error);
    // Width and height from the header alone, before any pixel costs memory.
    static bool ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error);
};
