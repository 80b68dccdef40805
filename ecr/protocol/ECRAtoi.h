#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Decimal text to integer as the C library's atoi reads it (leading white
// space, an optional sign, the digits that follow; no digits give 0), but
// saturating at the int range instead of overflowing.
std::int32_t ECRAtoi(const char* text);
std::int32_t ECRAtoi(const ECRString& text);
