#pragma once

#include "graphics/LogoRows.h"

#include <cstdint>
#include <string>

class QImage;

// Logo rows of a picture loaded with QImage (any format Qt reads). Palette
// pictures give their palette colours; the alpha channel is ignored. A null
// image has width 0 and so gets the width message.
LogoRows BuildLogoRows(const QImage& image);

// Loads a logo picture with QImage under the checks of PictureFile::LoadLogo:
// a regular file, its declared size within the logo's limits before any
// pixel is decoded (with the logo's messages), no larger than a logo can
// need. False with a message for the user, the image then unchanged.
bool LoadLogoImage(const std::string& path, QImage& image, std::string& error);

// Loads any picture Qt reads, whatever its size, for showing it: a regular
// file of at most kMaxPictureFileBytes whose pixels take at most
// kMaxPictureMegabytes once decoded. False, the image then unchanged, for
// anything else (a directory, a FIFO, a device, a damaged or huge picture),
// so a bad choice can neither block the program nor exhaust its memory.
constexpr std::uint64_t kMaxPictureFileBytes = 64ull * 1024 * 1024;
constexpr int kMaxPictureMegabytes = 256;
bool LoadPicture(const std::string& path, QImage& image);
