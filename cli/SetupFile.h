#pragma once

#include "cli/RegisterSetup.h"

#include <cstdint>
#include <string>
#include <string_view>

// The backup file of a register's programming: one UTF-8 JSON document,
//
//   {"format": "ecrctl-backup", "version": 1,
//    "header": [{"text": "...", "double": true}, ... five],
//    "taxRates": {"A": "20.00", "G": "10.00", ... nine},
//    "advert": {"lines": [... seven, as the header's], "enabled": false},
//    "logo": {"enabled": false},
//    "articles": [{"name": "Sok", "price": "12.50", "taxRate": 2, "unit": 1}, ...]}
//
// Amounts are written as FormatScaled writes them. Reading is strict: a
// document that is not a backup of this version, an item missing, unknown
// or of the wrong kind, or a value the register cannot take (a text too
// long, with a control character, a backslash or a character outside
// Windows-1250, an amount out of range, a name twice) is refused with a
// message naming the item, so nothing of a bad file reaches the register.
class SetupFile {
public:
    static constexpr const char* kFormat = "ecrctl-backup";
    static constexpr std::int64_t kVersion = 1;
    static constexpr std::uint64_t kMaxBytes = 64 * 1024 * 1024;
    // Header and advertising lines are printed 32 characters wide.
    static constexpr std::size_t kLineLength = 32;

    // The document, indented, one article a line, ending with a newline.
    static std::string Write(const RegisterSetup& setup);
    static bool Parse(std::string_view document, RegisterSetup& setup, std::string& error);
    // Parse of a file; the messages start with the path.
    static bool Read(const std::string& path, RegisterSetup& setup, std::string& error);

    // Register bytes as UTF-8 without loss: a byte Windows-1250 leaves
    // undefined becomes the C1 control of the same number, which the
    // conversion back turns into that byte again.
    static std::string ToUtf8(const ECRString& bytes);
};
