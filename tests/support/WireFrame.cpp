#include "support/WireFrame.h"

#include <cstdio>

std::string WireFrame(const std::string& payload)
{
    unsigned char sum = 0xFF;
    for (const char c : payload) {
        sum ^= static_cast<unsigned char>(c);
    }
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", sum);
    return "\x1bP" + payload + digits + "\x1b\\";
}
