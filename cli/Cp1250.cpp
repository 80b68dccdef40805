#include "cli/Cp1250.h"

#include "ecr/commands/ECRCodePage.h"

#include <cstdint>

namespace {

// Decodes one UTF-8 sequence at text[i]; advances i. Malformed input gives 0xFFFD.
std::uint32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    int extra = 0;
    std::uint32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
    }
    return cp;
}

}  // namespace

std::string Cp1250::FromUtf8(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        out += static_cast<char>(ECRCodePage::FromCodePoint(NextCodePoint(utf8, i)).value_or('?'));
    }
    return out;
}

std::string Cp1250::ToUtf8(std::string_view bytes)
{
    return ECRCodePage::ToUtf8(bytes);
}
