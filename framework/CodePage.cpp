#include "framework/CodePage.h"

#include <QList>
#include <array>

char16_t CodePage::ToUnicode(unsigned char byte, Id codePage)
{
    return static_cast<char16_t>(ECRCodePage::ToCodePoint(byte, codePage).value_or(byte));
}

std::optional<char> CodePage::FromUnicode(char16_t character, Id codePage)
{
    std::string bytes;
    TextFault fault;
    if (!ECRCodePage::FromUnicode(std::u32string(1, character), bytes, fault, codePage))
        return std::nullopt;
    return bytes.front();
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

bool CodePage::FromUnicode(QStringView text, std::string& bytes, TextFault& fault, Id codePage)
{
    // By characters, not UTF-16 units, so a character beyond the first plane
    // is named whole in the message; a lone surrogate becomes U+FFFD.
    const QList<uint> characters = text.toUcs4();
    return ECRCodePage::FromUnicode(std::u32string(characters.begin(), characters.end()), bytes, fault, codePage);
}

std::string CodePage::FromUnicodeForDisplay(QStringView text, Id codePage)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar character : text) {
        bytes.push_back(FromUnicode(character.unicode(), codePage).value_or('?'));
    }
    return bytes;
}

QString CodePage::RefusalMessage(const QString& field, const TextFault& fault)
{
    return QStringLiteral("Znak %1 u polju \"%2\" na mestu %3 ne postoji u kodnoj strani %4. Nista nije poslato.")
        .arg(QString::fromStdString(fault.CharacterText()), field, QString::number(fault.position),
             QString::fromLatin1(ECRCodePage::Name(fault.codePage)));
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
            const std::optional<char> folded = FromUnicode(lower, page);
            table[static_cast<std::size_t>(byte)] =
                lower != character && folded && ToUnicode(static_cast<unsigned char>(*folded), page) == lower
                    ? *folded
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
