#include "ecr/commands/TextFault.h"

#include "ecr/commands/Utf8.h"

#include <cstdio>

std::string TextFault::CharacterText() const
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    // Controls, surrogates and the like would garble the message they stand in.
    const bool printable = character >= 0x20 && !(character >= 0x7F && character <= 0x9F) &&
                           !(character >= 0xD800 && character <= 0xDFFF) && character <= 0x10FFFF;
    if (!printable)
        return code;
    std::string text = "'";
    Utf8::Append(text, character);
    return text + "' (" + code + ")";
}

bool TextFault::FindControlByte(std::string_view bytes, TextFault& fault)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x20 || byte == 0x7F) {
            fault = TextFault{Kind::ControlByte, i + 1, byte, ECRCodePage::Windows1250};
            return true;
        }
    }
    return false;
}

std::string TextFault::ControlByteText() const
{
    const char* known = character == 0x09 ? " (TAB)" : character == 0x0A ? " (LF)" : character == 0x0D ? " (CR)"
                        : character == 0x1F ? " (US)" : "";
    char text[32];
    std::snprintf(text, sizeof text, "0x%02X%s", static_cast<unsigned>(character), known);
    return text;
}
