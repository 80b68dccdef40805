#pragma once

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <string>
#include <string_view>

// Conversion between the register's 8-bit texts and the window texts.
// Everything sent to or read from the register is Windows-1250; a dialog that
// shows its texts in Cyrillic uses Windows-1251 for the same bytes.
// The tables are the register's own (ECRCodePage). Bytes the Windows tables
// leave undefined map to the C1 control of the same value, so every byte
// survives a round trip. A character neither table knows is never replaced
// on the way to the register: the conversion refuses the text instead.
class CodePage {
public:
    using Id = ECRCodePage::Id;
    static constexpr Id Windows1250 = ECRCodePage::Windows1250;
    static constexpr Id Windows1251 = ECRCodePage::Windows1251;

    static QString ToUnicode(std::string_view bytes, Id codePage = Windows1250);
    // The register bytes of a window text; false with the first character
    // the code page has no byte for in fault, the text then not converted.
    static bool FromUnicode(QStringView text, std::string& bytes, TextFault& fault, Id codePage = Windows1250);
    // Only for showing a text in a box that holds bytes (the monitor's debug
    // box), never for anything sent: a character the code page lacks shows as '?'.
    static std::string FromUnicodeForDisplay(QStringView text, Id codePage = Windows1250);

    static char16_t ToUnicode(unsigned char byte, Id codePage = Windows1250);
    // The byte for one character, or nothing when the code page has none.
    static std::optional<char> FromUnicode(char16_t character, Id codePage = Windows1250);

    // The message for a field whose text cannot be sent, e.g.
    // Znak 'Ж' (U+0416) u polju "IBFM" na mestu 3 ne postoji u kodnoj strani Windows-1250. Nista nije poslato.
    static QString RefusalMessage(const QString& field, const TextFault& fault);

    // The bytes with every letter in lower case by the code page's own
    // letters, so that a comparison of two texts ignores letter case.
    static std::string ToLower(std::string_view bytes, Id codePage = Windows1250);
};
