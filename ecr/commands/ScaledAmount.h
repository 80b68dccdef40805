#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Conversion between a scaled integer amount and its text: 1234 with 2 decimals is 12.34.
// A small amount gets its leading zeros (-5 is -0.05); with no decimals, the integer alone.
// 64 bits wide, for the register's counters that pass the int range.
ECRString FormatScaled(std::int64_t value, std::int32_t decimals);

// Reads what the user typed: "," or "." marks the decimals, digits beyond the
// allowed decimals are cut off, every other character is skipped. Saturates
// at the largest int instead of overflowing. A "-" is skipped like any other
// character, so the result is never negative.
std::int32_t ParseScaled(const ECRString& text, std::int32_t decimals);
