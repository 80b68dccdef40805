#pragma once

#include <string>
#include <string_view>

// Texts to and from the register are Windows-1250 bytes; the terminal speaks
// UTF-8. A character the code page lacks becomes "?" on the way in; a byte
// the code page leaves undefined becomes U+FFFD on the way out.
class Cp1250 {
public:
    static std::string FromUtf8(std::string_view utf8);
    static std::string ToUtf8(std::string_view bytes);
};
