#pragma once

#include "ecr/files/FileFault.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The lines of the article text files (the import file, the database),
// read whole and checked before any of their content is used: no line may
// be longer than the line limit. A line's end (LF or CR LF) is removed, and
// blank lines (empty or only spaces and tabs) are passed over.
//
// The text may be Windows-1250 or UTF-8: a file that starts with the UTF-8
// byte order mark, or that is valid UTF-8 and holds a character beyond
// ASCII, is converted to Windows-1250, strictly; any other file is taken as
// Windows-1250 bytes.
class TextLineReader {
public:
    struct Limits {
        std::uint64_t maxFileBytes;
        std::size_t maxLineBytes;
    };
    struct Line {
        std::size_t number;  // from 1, blank lines counted
        std::string text;    // Windows-1250
    };

    // Splits a file's bytes into lines; name stands for the file in
    // messages. False, with the file and the line in fault, for a line that
    // is too long, holds a zero byte, or is not convertible.
    static bool Split(std::string_view bytes, const std::string& name, const Limits& limits, std::vector<Line>& lines,
                      FileFault& fault);

    static bool IsBlank(std::string_view line);

    // Makes an item of every line with parse(text) and checks it with
    // check(item), which gives the refusal or nothing. False, with the file
    // and the line in fault, at the first refused item; items are then left
    // as they were.
    template <class Item, class Parse, class Check>
    static bool Build(const std::vector<Line>& lines, const std::string& name, Parse parse, Check check,
                      std::vector<Item>& items, FileFault& fault)
    {
        std::vector<Item> built;
        built.reserve(lines.size());
        for (const Line& line : lines) {
            Item item = parse(line.text);
            if (const auto refused = check(item)) {
                fault = FileFault::OfArticle(name, line.number, *refused);
                return false;
            }
            built.push_back(std::move(item));
        }
        items = std::move(built);
        return true;
    }
};
