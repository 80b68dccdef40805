#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// UTF-8 as the terminal, the file readers and JSON need it. Decoding is
// strict: only the well-formed sequences count (no overlong forms, no
// surrogates, nothing above U+10FFFF, no sequence cut short), so no byte
// can sneak through a conversion in disguise; an overlong zero above all.
class Utf8 {
public:
    // Decodes the sequence at text[at] into character and moves at past it.
    // A malformed sequence gives false and moves at past its longest valid
    // start (at least one byte), so a caller that goes on replaces each bad
    // part once, as the Unicode standard recommends.
    static bool Next(std::string_view text, std::size_t& at, char32_t& character);

    // The whole text; false with the byte offset of the first bad sequence.
    static bool Decode(std::string_view text, std::u32string& characters, std::size_t& badOffset);

    // The character's UTF-8 bytes after out. The character is not checked:
    // only valid ones give a well-formed sequence.
    static void Append(std::string& out, char32_t character);
    // Append for each character.
    static std::string Encode(std::u32string_view characters);

    // True when every sequence is well formed.
    static bool IsValid(std::string_view text);
    // True when the text holds a byte above 0x7F.
    static bool HasNonAscii(std::string_view text);

    // U+FEFF in UTF-8, which may open a text file.
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    // The character that stands in for what cannot be shown (U+FFFD).
    static constexpr char32_t kReplacement = 0xFFFD;
};
