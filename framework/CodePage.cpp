#include "framework/CodePage.h"

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
