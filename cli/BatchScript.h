#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The commands of a batch file, one a line, each split into words as a POSIX
// shell splits a simple command: blanks separate words; '...' keeps
// everything literally; "..." keeps everything but \" \\ \$ \` and
// backslash-newline; a backslash outside quotes keeps the next character (a
// backslash before a newline joins two lines); a word starting with # starts
// a comment to the end of the line; "" is an empty word. Nothing is expanded
// ($, `, * and ~ stand for themselves) and ; | & < > are plain characters.
// Blank lines and comment lines give no command. A CR before a line's end is
// a blank, so a file written on Windows reads the same.
class BatchScript {
public:
    struct Command {
        std::size_t line = 0;  // where it starts, from 1
        std::string text;      // its source, for messages and results
        std::vector<std::string> words;
    };

    // False with "line N: ..." for a quote that is never closed.
    static bool Split(std::string_view script, std::vector<Command>& commands, std::string& error);
};
