#include "framework/CodePage.h"

#include <array>

char16_t CodePage::ToUnicode(unsigned char byte, Id codePage)
{
    return static_cast<char16_t>(ECRCodePage::ToCodePoint(byte, codePage).value_or(byte));
}

char CodePage::FromUnicode(char16_t character, Id codePage)
{
    if (const auto byte = ECRCodePage::FromCodePoint(character, codePage)) {
        return static_cast<char>(*byte);
    }
    // The C1 control standing in for an undefined byte goes back to that byte.
    if (character >= 0x80 && character <= 0xFF &&
        !ECRCodePage::ToCodePoint(static_cast<unsigned char>(character), codePage)) {
        return static_cast<char>(character);
    }
    return '?';
}

QString CodePage::ToUnicode(std::string_view bytes, Id codePage)
{
    QString text;
    text.resize(static_cast<qsizetype>(bytes.size()));
    QChar* out = text.data();
    for (char byte : bytes) {
        *out++ = QChar(ToUnicode(static_cast<unsigned char>(byte), codePage));
    }
    return text;
}

std::string CodePage::FromUnicode(QStringView text, Id codePage)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar character : text) {
        bytes.push_back(FromUnicode(character.unicode(), codePage));
    }
    return bytes;
}

std::string CodePage::ToLower(std::string_view bytes, Id codePage)
{
    // One table per code page: a letter keeps its case pair within the page
    // (Windows-1250 has both cases of every letter it holds).
    static const auto makeTable = [](Id page) {
        std::array<char, 256> table{};
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t character = ToUnicode(static_cast<unsigned char>(byte), page);
            const auto lower = static_cast<char16_t>(QChar::toLower(char32_t{character}));
            const char folded = FromUnicode(lower, page);
            table[static_cast<std::size_t>(byte)] =
                lower != character && ToUnicode(static_cast<unsigned char>(folded), page) == lower
                    ? folded
                    : static_cast<char>(byte);
        }
        return table;
    };
    static const std::array<char, 256> tables[] = {makeTable(Windows1250), makeTable(Windows1251)};
    const std::array<char, 256>& table = tables[codePage == Windows1251 ? 1 : 0];
    std::string lower(bytes);
    for (char& byte : lower) {
        byte = table[static_cast<unsigned char>(byte)];
    }
    return lower;
}
