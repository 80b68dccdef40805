#include "ecr/protocol/ECRTrafficText.h"

namespace {

std::string_view UpToZero(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

int ECRTrafficText::HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

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

bool ECRTrafficText::ParseHexLine(std::string_view line, std::string& bytes)
{
    bytes.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        const int high = HexDigit(line[i]);
        const int low = i + 1 < line.size() ? HexDigit(line[i + 1]) : -1;
        if (high < 0 || low < 0) {
            return false;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
        if (i < line.size()) {
            if (line[i] != '-') {
                return false;
            }
            ++i;
        }
    }
    return true;
}
