#pragma once

#include <string>
#include <string_view>

// The article files may be written in the register's own Windows-1250 or in
// UTF-8, as today's editors save them. A file is UTF-8 when it starts with a
// byte order mark, or when it holds multi-byte sequences and all of it is
// valid UTF-8; anything else is taken as the register's bytes unchanged.
class ArticleTextEncoding {
public:
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    // Stands for a sequence that is not valid UTF-8 where a character is reported.
    static constexpr char32_t kInvalidSequence = 0x110000;

    static bool IsUtf8(std::string_view file);
    // The file without its byte order mark, if it has one.
    static std::string_view WithoutByteOrderMark(std::string_view file);

    // A UTF-8 line as Windows-1250 bytes. False when a character has no
    // Windows-1250 form or a sequence is not valid UTF-8; bad then holds the
    // character (kInvalidSequence for an invalid sequence).
    static bool ToWindows1250(std::string_view utf8, std::string& bytes, char32_t& bad);

    // What was refused, for a message: "znak U+0416 nema oblik u kodnoj
    // strani kase (Windows-1250)" or "neispravan UTF-8 zapis".
    static std::string RefusalText(char32_t character);
};
