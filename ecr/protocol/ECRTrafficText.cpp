#include "ecr/protocol/ECRTrafficText.h"

namespace {

std::string_view UpToZero(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

std::string ECRTrafficText::HexLine(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    bytes = UpToZero(bytes);
    std::string line;
    line.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        line += digits[byte >> 4];
        line += digits[byte & 0x0F];
        line += '-';
    }
    return line;
}

std::string ECRTrafficText::PrintableLine(std::string_view bytes)
{
    bytes = UpToZero(bytes);
    std::string line;
    line.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        line += ' ';
        line += (byte >= 0x20 && byte <= 0x7F) ? c : '.';
        line += ' ';
    }
    return line;
}
