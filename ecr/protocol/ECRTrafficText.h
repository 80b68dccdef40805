#pragma once

#include <string>
#include <string_view>

// The connection monitor's form of one traffic entry: a line of hex bytes
// ("24-63-") above a line of the printable characters, each standing under
// the second digit of its value; bytes outside 0x20..0x7F print as ".".
// The text is shown up to its first zero byte. Shared by the monitor window
// and the command-line tool's trace.
class ECRTrafficText {
public:
    // Two uppercase hex digits and "-" for each byte ("24-63-").
    static std::string HexLine(std::string_view bytes);
    // The value of a hexadecimal digit (either case), or -1.
    static int HexDigit(char c);
    // Each byte as blank, character, blank: the character itself for 0x20..0x7F, else ".".
    static std::string PrintableLine(std::string_view bytes);
    // The bytes of a hex line ("24-63-"; the last "-" may be missing, upper
    // or lower case); false for anything else.
    static bool ParseHexLine(std::string_view line, std::string& bytes);
    // The two lines joined by the given line break (CR LF in the monitor).
    static std::string Entry(std::string_view bytes, std::string_view lineBreak = "\n")
    {
        return HexLine(bytes) + std::string(lineBreak) + PrintableLine(bytes);
    }
};
