#pragma once

#include <cstdint>

// Scales a colour channel of 0..maxValue to 0..255 so that only 0 becomes 0:
// the logo prints exact black only, and a very dark deep-colour pixel must
// not turn into a printed dot by rounding.
inline std::uint8_t ScaleChannel(std::uint32_t value, std::uint32_t maxValue)
{
    if (value == 0 || maxValue == 0)
        return 0;
    if (value >= maxValue)
        return 255;
    const std::uint64_t scaled = static_cast<std::uint64_t>(value) * 255U / maxValue;
    return static_cast<std::uint8_t>(scaled == 0 ? 1 : scaled);
}
