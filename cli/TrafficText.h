#pragma once

#include "ecr/protocol/ECRString.h"

#include <string>

// The connection monitor's form of one traffic entry: a line of hex bytes
// ("24-63-") above a line of the printable characters, each standing under
// the second digit of its value; bytes outside 0x20..0x7F print as ".".
// The text is shown up to its first zero byte.
class TrafficText {
public:
    static std::string HexLine(const ECRString& text);
    static std::string PrintableLine(const ECRString& text);
    static std::string Format(const ECRString& text) { return HexLine(text) + "\n" + PrintableLine(text); }
};
