#pragma once

#include <optional>
#include <string>
#include <string_view>

// The register's 8-bit code pages: every text it prints or stores is
// Windows-1250, and a dialog that shows the same bytes in Cyrillic reads them
// as Windows-1251. The tables are our own, so nothing depends on ICU or iconv.
// The lower half is ASCII in both.
class ECRCodePage {
public:
    enum Id { Windows1250, Windows1251 };

    // The character of a byte, or nothing for a byte the code page leaves undefined.
    static std::optional<char32_t> ToCodePoint(unsigned char byte, Id codePage = Windows1250);
    // The byte of a character, or nothing when the code page has none.
    static std::optional<unsigned char> FromCodePoint(char32_t character, Id codePage = Windows1250);
    // The bytes as UTF-8; an undefined byte becomes U+FFFD.
    static std::string ToUtf8(std::string_view bytes, Id codePage = Windows1250);
    // One character as UTF-8 (at most three bytes: the tables hold no more).
    static void AppendUtf8(std::string& out, char32_t character);
};
