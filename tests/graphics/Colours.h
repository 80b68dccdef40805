#pragma once

#include "graphics/Rgb.h"

// The two colours a receipt logo is made of.
inline const Rgb kWhite{255, 255, 255};
inline const Rgb kBlack{0, 0, 0};
