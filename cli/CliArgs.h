#pragma once

#include "ecr/commands/ECRDateTime.h"
#include "ecr/protocol/ECRString.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Conversions between command-line arguments (UTF-8) and register values.
// Malformed texts, dates and line lists throw CliFailure (usage).
class CliArgs {
public:
    // A text for the register, in Windows-1250. Refused, never patched up: a
    // text that is not UTF-8, holds a character Windows-1250 lacks, or holds
    // a control character (which would split or end the request's field).
    static ECRString ToRegister(const std::string& utf8);
    // A text from the register, for the terminal.
    static std::string FromRegister(const ECRString& text);
    // An amount as the dialogs read it (ParseScaled).
    static std::int32_t Amount(const std::string& utf8, std::int32_t decimals);
    // "YYYY-MM-DD HH:MM" (or with a T between), a moment the register's
    // clock can hold (the years 2000 to 2099).
    static ECRDateTime DateTime(const std::string& text);
    // "YYYY-MM-DD"; hour and minute 0.
    static ECRDateTime Date(const std::string& text);
    static std::string FormatDateTime(const ECRDateTime& value);
    // --double "1,3" -> flags of lines 1 and 3 set; a number outside 1..N is refused.
    template <std::size_t N>
    static std::array<bool, N> DoubleFlags(const std::vector<int>& lines)
    {
        std::array<bool, N> flags{};
        for (const int line : lines) {
            CheckLineNumber(line, static_cast<int>(N));
            flags[static_cast<std::size_t>(line - 1)] = true;
        }
        return flags;
    }

private:
    static void CheckLineNumber(int line, int count);
};
