#pragma once

#include <string>
#include <string_view>

// Text from the machine (sysfs attributes, link names, process names) made
// safe to print on a terminal: anyone may name a process "ev\x1B[2J", and
// printed raw its escape sequence would clear the screen or retitle the
// window. UTF-8 letters stay as they are; a control character (C0, DEL, or
// C1 written in UTF-8) and a byte that is not UTF-8 are written as \xHH, and
// a backslash as \\, so the text shown reads back to the bytes exactly.
class TerminalText {
public:
    static std::string Escape(std::string_view bytes);
};
