#pragma once

#include <optional>
#include <string>
#include <string_view>

class ECRString;
struct TextFault;

// The register's 8-bit code pages: every text it prints or stores is
// Windows-1250, and a dialog that shows the same bytes in Cyrillic reads them
// as Windows-1251. The tables are our own, so nothing depends on ICU or iconv.
// The lower half is ASCII in both.
class ECRCodePage {
public:
    enum Id { Windows1250, Windows1251 };

    // The character of a byte, or nothing for a byte the code page leaves undefined.
    static std::optional<char32_t> ToCodePoint(unsigned char byte, Id codePage = Windows1250);
    // The byte of a character, or nothing when the code page has none (ASCII
    // is its own byte; a C1 control finds none here, see FromUnicode).
    static std::optional<unsigned char> FromCodePoint(char32_t character, Id codePage = Windows1250);

    // "Windows-1250" or "Windows-1251".
    static const char* Name(Id codePage);

    // The register bytes of a text. Refuses the whole text at the first
    // character the code page has no byte for: a text with a character
    // silently replaced must never reach the register. A C1 control
    // (U+0080..U+009F) stands for the byte of the same value that the code
    // page leaves undefined, which is how such bytes read from the register
    // are shown, so they go back unchanged. False with fault (NoByte: the
    // character and its position, from 1); bytes then hold only the text
    // before it and must not be used.
    static bool FromUnicode(std::u32string_view text, std::string& bytes, TextFault& fault, Id codePage = Windows1250);
    // The same from UTF-8, which must be well formed: false with fault
    // NotUtf8 and the first bad sequence's byte position, from 1.
    static bool FromUtf8(std::string_view utf8, std::string& bytes, TextFault& fault, Id codePage = Windows1250);
    // Register bytes for the terminal or a file; an undefined byte becomes U+FFFD.
    static std::string ToUtf8(std::string_view bytes, Id codePage = Windows1250);
    // The same for a text read from the register, and for a text of the
    // register's own (DeviceMessageText).
    static std::string ToUtf8(const ECRString& text, Id codePage = Windows1250);
    static std::string ToUtf8(const char* bytes, Id codePage = Windows1250)
    {
        return ToUtf8(std::string_view(bytes), codePage);
    }
};
