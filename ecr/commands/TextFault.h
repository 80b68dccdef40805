#pragma once

#include "ecr/commands/ECRCodePage.h"

#include <cstddef>
#include <string>
#include <string_view>

// Why a text could not become register bytes, and where: the first bad
// UTF-8 sequence, the first character the code page has no byte for, or
// the first control byte in a text that must have none. FaultText words it
// in English (ecrctl) or Serbian (the dialogs).
struct TextFault {
    // Not well-formed UTF-8; a character without a byte in the code page; a
    // control byte.
    enum class Kind { NotUtf8, NoByte, ControlByte };

    Kind kind = Kind::NoByte;
    // NotUtf8: the byte's number; otherwise the character's number; from 1.
    std::size_t position = 0;
    char32_t character = 0;  // NoByte: the character; ControlByte: the byte
    // The code page the text was meant for.
    ECRCodePage::Id codePage = ECRCodePage::Windows1250;

    // The first control byte (0x00..0x1F, 0x7F) of register text: a field
    // terminator (LF, TAB, US) among them would split or end a request's field.
    // True with fault set to it (ControlByte, its position from 1); false, and
    // fault untouched, when there is none.
    static bool FindControlByte(std::string_view bytes, TextFault& fault);

    // "'Ж' (U+0416)", the character alone shown only when it is printable
    // (otherwise "U+0085" alone).
    std::string CharacterText() const;
    // "0x09 (TAB)": a control byte by its number, and its name if it has one.
    std::string ControlByteText() const;
};
