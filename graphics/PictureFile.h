#pragma once

#include "graphics/Picture.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Loads a picture file without any GUI library: Windows bitmaps (BMP) and
// the portable any-map formats (PBM, PGM, PPM, ASCII and binary). The kind
// is told by the file's first bytes, not by its name.
class PictureFile {
public:
    // Pictures larger than this in either direction are refused as damaged.
    static constexpr int kMaxSide = 20000;
    // Far more than any logo needs: 360 x 156 as 32-bit BMP is 225 KB, as an
    // ASCII pixel map of 16-bit samples about 1 MB.
    static constexpr std::uint64_t kMaxLogoFileBytes = 4 * 1024 * 1024;

    // Loads a picture for the logo. The file must be a regular file; its
    // header's width and height are checked against the logo's limits (with
    // their messages) before any pixel is decoded, and a file larger than a
    // logo can need is refused before it is read. False with a message for
    // the user.
    static bool LoadLogo(const std::string& path, Picture& picture, std::string& error);

    // Width and height from a file's leading bytes, for ReadLogoBytes.
    using SizeReader = std::function<bool(const std::vector<unsigned char>& bytes, int& width, int& height,
                                          std::string& error)>;
    // The checks of LoadLogo for any decoder: the bytes of a regular file
    // whose header (as readSize tells it) has a logo's size and which is no
    // larger than a logo can need. False with a message for the user.
    static bool ReadLogoBytes(const std::string& path, const SizeReader& readSize, std::vector<unsigned char>& bytes,
                              std::string& error);

    static bool Decode(const std::vector<unsigned char>& bytes, Picture& picture, std::string& error);
    // Width and height from the header alone.
    static bool ReadSize(const std::vector<unsigned char>& bytes, int& width, int& height, std::string& error);
};
