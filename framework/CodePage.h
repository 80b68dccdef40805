#pragma once

#include "ecr/commands/ECRCodePage.h"

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Conversion between the register's 8-bit texts and the window texts.
// Everything sent to or read from the register is Windows-1250; a dialog that
// shows its texts in Cyrillic uses Windows-1251 for the same bytes.
// The tables are the register's own (ECRCodePage). Bytes the Windows tables
// leave undefined map to the C1 control of the same value, so every byte
// survives a round trip; a character neither table knows becomes '?'.
class CodePage {
public:
    using Id = ECRCodePage::Id;
    static constexpr Id Windows1250 = ECRCodePage::Windows1250;
    static constexpr Id Windows1251 = ECRCodePage::Windows1251;

    static QString ToUnicode(std::string_view bytes, Id codePage = Windows1250);
    static std::string FromUnicode(QStringView text, Id codePage = Windows1250);

    static char16_t ToUnicode(unsigned char byte, Id codePage = Windows1250);
    // The byte for one character, or '?' when the code page has none.
    static char FromUnicode(char16_t character, Id codePage = Windows1250);

    // The bytes with every letter in lower case by the code page's own
    // letters, so that a comparison of two texts ignores letter case.
    static std::string ToLower(std::string_view bytes, Id codePage = Windows1250);
};
