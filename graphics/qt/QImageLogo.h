#pragma once

#include "graphics/LogoRows.h"

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
