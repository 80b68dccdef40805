#include "cli/TrafficText.h"

#include <cstring>

namespace {

std::size_t ShownLength(const ECRString& text)
{
    return strnlen(text.Data(), text.Length());
}

}  // namespace

std::string TrafficText::HexLine(const ECRString& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string line;
    for (std::size_t i = 0; i < ShownLength(text); ++i) {
        const auto byte = static_cast<unsigned char>(text.Data()[i]);
        line += digits[byte >> 4];
        line += digits[byte & 0x0F];
        line += '-';
    }
    return line;
}

std::string TrafficText::PrintableLine(const ECRString& text)
{
    std::string line;
    for (std::size_t i = 0; i < ShownLength(text); ++i) {
        const auto byte = static_cast<unsigned char>(text.Data()[i]);
        line += ' ';
        line += (byte >= 0x20 && byte <= 0x7F) ? static_cast<char>(byte) : '.';
        line += ' ';
    }
    return line;
}
