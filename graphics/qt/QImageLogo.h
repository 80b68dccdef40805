#pragma once

#include "graphics/LogoRows.h"

class QImage;

// Logo rows of a picture loaded with QImage (any format Qt reads). Palette
// pictures give their palette colours; the alpha channel is ignored. A null
// image has width 0 and so gets the width message.
LogoRows BuildLogoRows(const QImage& image);
