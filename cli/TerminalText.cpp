#include "cli/TerminalText.h"

#include "ecr/commands/Utf8.h"

#include <cstdio>

namespace {

void AppendByte(std::string& text, unsigned char byte)
{
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(byte));
    text += escaped;
}

}  // namespace

std::string TerminalText::Escape(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t start = at;
        char32_t character = 0;
        const bool valid = Utf8::Next(bytes, at, character);
        const bool control = character < 0x20 || (character >= 0x7F && character <= 0x9F);
        if (!valid || control) {
            for (std::size_t i = start; i < at; ++i)
                AppendByte(text, static_cast<unsigned char>(bytes[i]));
        } else if (character == '\\') {
            text += "\\\\";
        } else {
            text.append(bytes.substr(start, at - start));
        }
    }
    return text;
}
