#include "ecr/commands/ScaledAmount.h"

#include <limits>
#include <string>

ECRString FormatScaled(std::int64_t value, std::int32_t decimals)
{
    // The magnitude unsigned, so that the smallest value has one too.
    const auto magnitude = static_cast<std::uint64_t>(value);
    const std::string digits = std::to_string(value < 0 ? 0 - magnitude : magnitude);
    std::string text = value < 0 ? "-" : "";
    if (decimals <= 0) {
        text += digits;
        return ECRString(text.c_str());
    }
    const auto places = static_cast<std::size_t>(decimals);
    if (digits.size() > places) {
        const std::size_t whole = digits.size() - places;
        text += digits.substr(0, whole) + "." + digits.substr(whole);
    } else {
        text += "0." + std::string(places - digits.size(), '0') + digits;
    }
    return ECRString(text.c_str());
}

std::int32_t ParseScaled(const ECRString& text, std::int32_t decimals)
{
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    std::int64_t value = 0;
    std::int64_t remaining = decimals;
    bool pointSeen = false;
    for (std::uint32_t i = 0; i < text.Length(); ++i) {
        const char c = text.Data()[i];
        if (c == ',' || c == '.') {
            pointSeen = true;
        } else if (c >= '0' && c <= '9') {
            if (pointSeen) {
                --remaining;
            }
            if (remaining >= 0 && value < largest) {
                value = value * 10 + (c - '0');
            }
        }
    }
    for (; remaining > 0 && value != 0 && value < largest; --remaining) {
        value *= 10;
    }
    return static_cast<std::int32_t>(value < largest ? value : largest);
}
