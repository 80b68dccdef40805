#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// Conversion between the register's 8-bit texts and the window texts.
// Everything sent to or read from the register is Windows-1250; a dialog that
// shows its texts in Cyrillic uses Windows-1251 for the same bytes.
// Both tables are our own, so nothing depends on ICU being present. Bytes the
// Windows tables leave undefined map to the C1 control of the same value, so
// every byte survives a round trip; a character neither table knows becomes '?'.
class CodePage {
public:
    enum Id { Windows1250, Windows1251 };

    static QString ToUnicode(std::string_view bytes, Id codePage = Windows1250);
    static std::string FromUnicode(QStringView text, Id codePage = Windows1250);

    static char16_t ToUnicode(unsigned char byte, Id codePage = Windows1250);
    // The byte for one character, or '?' when the code page has none.
    static char FromUnicode(char16_t character, Id codePage = Windows1250);
};
