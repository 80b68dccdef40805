#pragma once

#include "ecr/files/JsonValue.h"

#include <cstddef>
#include <string>
#include <string_view>

// A strict reader of JSON documents (RFC 8259) into JsonValue, for files a
// user hands to ecrctl and for tests that read ecrctl's output as any client
// would. Anything the grammar does not allow is refused, never patched up: a
// trailing comma, a comment, a leading zero, a byte order mark, a raw control
// character or an invalid UTF-8 sequence in a string, a lone surrogate
// escape, a duplicate key, text after the document. Numbers must be whole
// and fit 64 bits, unless the limits take decimals: a number with a
// fraction is then kept as written (JsonValue::Decimal); an exponent is
// refused either way. The limits keep a hostile
// document from costing more than its size: nesting depth and length are
// bounded, and every step is linear in the input.
class JsonReader {
public:
    struct Limits {
        std::size_t maxBytes = 64 * 1024 * 1024;
        std::size_t maxDepth = 64;
        // Numbers with a fraction ("12.50") are read as Decimal, not refused.
        bool decimals = false;
    };

    // False with "line L, column C: what is wrong" (columns count bytes from 1).
    static bool Parse(std::string_view text, JsonValue& value, std::string& error);
    static bool Parse(std::string_view text, JsonValue& value, std::string& error, const Limits& limits);

private:
    class Parser;
};
