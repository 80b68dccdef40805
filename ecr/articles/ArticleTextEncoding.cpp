#include "ecr/articles/ArticleTextEncoding.h"

#include "ecr/commands/ECRCodePage.h"

#include <cstdio>
#include <optional>

namespace {

bool Continuation(unsigned char byte, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return byte >= low && byte <= high;
}

// One strictly valid UTF-8 sequence at text[i] (no overlong forms, no
// surrogates, nothing above U+10FFFF); advances i past it. Nothing for an
// invalid sequence, i then past its first byte.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i)
{
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = at(i++);
    if (lead < 0x80) {
        return lead;
    }
    int extra = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= text.size() || !Continuation(at(i), k == 0 ? low : 0x80, k == 0 ? high : 0xBF)) {
            return std::nullopt;
        }
        value = (value << 6) | (at(i++) & 0x3F);
    }
    return value;
}

}  // namespace

bool ArticleTextEncoding::IsUtf8(std::string_view file)
{
    if (file.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        return true;
    }
    bool multiByte = false;
    for (std::size_t i = 0; i < file.size();) {
        const std::size_t start = i;
        if (!NextCodePoint(file, i)) {
            return false;
        }
        multiByte = multiByte || i - start > 1;
    }
    return multiByte;
}

std::string_view ArticleTextEncoding::WithoutByteOrderMark(std::string_view file)
{
    if (file.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        file.remove_prefix(kByteOrderMark.size());
    }
    return file;
}

bool ArticleTextEncoding::ToWindows1250(std::string_view utf8, std::string& bytes, char32_t& bad)
{
    bytes.clear();
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::optional<char32_t> character = NextCodePoint(utf8, i);
        const std::optional<unsigned char> byte =
            character ? ECRCodePage::FromCodePoint(*character) : std::optional<unsigned char>();
        if (!byte) {
            bad = character.value_or(kInvalidSequence);
            return false;
        }
        bytes.push_back(static_cast<char>(*byte));
    }
    return true;
}

std::string ArticleTextEncoding::RefusalText(char32_t character)
{
    if (character == kInvalidSequence) {
        return "neispravan UTF-8 zapis";
    }
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return std::string("znak ") + code + " nema oblik u kodnoj strani kase (Windows-1250)";
}
