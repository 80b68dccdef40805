#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Decimal text to integer as the C library's atoi reads it (leading white
// space, an optional sign, the digits that follow; no digits give 0), but
// saturating at the int range instead of overflowing.
std::int32_t ECRAtoi(const char* text);
std::int32_t ECRAtoi(const ECRString& text);

// True when the text is a decimal number and nothing else: an optional sign
// and at least one digit. Fields the register sends as numbers are checked
// with this, so that a garbled field is not read as 0.
bool ECRIsDecimal(const ECRString& text);
