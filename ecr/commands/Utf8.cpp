#include "ecr/commands/Utf8.h"

namespace {

bool IsContinuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return byte >= low && byte <= high;
}

}  // namespace

bool Utf8::Next(std::string_view text, std::size_t& at, char32_t& character)
{
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) {
        character = lead;
        return true;
    }
    // The well-formed sequences: the lead byte fixes the length and the
    // range of the second byte, which shuts out overlong forms, surrogates
    // and anything above U+10FFFF.
    std::size_t extra = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return false;
    }
    for (std::size_t k = 0; k < extra; ++k) {
        if (at >= text.size())
            return false;
        const auto byte = static_cast<unsigned char>(text[at]);
        if (k == 0 ? !IsContinuation(byte, low, high) : !IsContinuation(byte))
            return false;
        value = (value << 6) | (byte & 0x3F);
        ++at;
    }
    character = value;
    return true;
}

bool Utf8::Decode(std::string_view text, std::u32string& characters, std::size_t& badOffset)
{
    characters.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        char32_t character = 0;
        if (!Next(text, at, character)) {
            badOffset = start;
            return false;
        }
        characters.push_back(character);
    }
    return true;
}

void Utf8::Append(std::string& out, char32_t character)
{
    if (character < 0x80) {
        out += static_cast<char>(character);
    } else if (character < 0x800) {
        out += static_cast<char>(0xC0 | (character >> 6));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        out += static_cast<char>(0xE0 | (character >> 12));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (character >> 18));
        out += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (character & 0x3F));
    }
}

std::string Utf8::Encode(std::u32string_view characters)
{
    std::string out;
    out.reserve(characters.size());
    for (const char32_t character : characters)
        Append(out, character);
    return out;
}

bool Utf8::IsValid(std::string_view text)
{
    std::size_t at = 0;
    char32_t character = 0;
    while (at < text.size()) {
        if (!Next(text, at, character))
            return false;
    }
    return true;
}

bool Utf8::HasNonAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}
