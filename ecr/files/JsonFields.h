#pragma once

#include "ecr/files/JsonValue.h"
#include "ecr/protocol/ECRString.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// Reading the items of a JSON document that a user or a program hands in
// (ecrctl's backup file, ecrd's requests and configuration), strictly and
// with the item named in every refusal: "article 3 (\"Sok\"): price: ...".
// Each reader throws Refusal; nothing of a refused document is used.
class JsonFields {
public:
    // Why a document was refused, the item first.
    struct Refusal {
        std::string message;
    };

    [[noreturn]] static void Refuse(const std::string& where, const std::string& problem);
    // "a number", "a text", "a list", ...
    static const char* KindName(JsonValue::Kind kind);

    // The value, when it is of this kind.
    static const JsonValue& Expect(const JsonValue& value, JsonValue::Kind kind, const std::string& where);
    // An object with every required member, and no member that is neither
    // required nor optional.
    static const JsonValue& Object(const JsonValue& value, std::initializer_list<const char*> required,
                                   const std::string& where, std::initializer_list<const char*> optional = {});
    // A member the object has (Object checked it), of this kind.
    static const JsonValue& Member(const JsonValue& object, const char* key, JsonValue::Kind kind,
                                   const std::string& where);
    // A member of this kind, or null when the object lacks it.
    static const JsonValue* Optional(const JsonValue& object, const char* key, JsonValue::Kind kind,
                                     const std::string& where);

    // Text the register can print or store: Windows-1250, no zero or other
    // control byte (a field terminator among them), no backslash (a reply
    // carrying one is cut short), at most maxLength characters.
    static ECRString RegisterText(const std::string& utf8, std::size_t maxLength, bool mayBeEmpty,
                                  const std::string& where);
    // "12", "12.5" or "12.34" (up to `decimals` digits after the point, no
    // sign, no other mark) of at most maxWhole digits before the point;
    // scaled by 10^decimals.
    static std::int32_t AmountText(const std::string& text, std::size_t maxWhole, int decimals,
                                   const std::string& where);
    // count printed lines (the receipt header, the advertising text) as a
    // list of {"text": "...", "double": true} items, each text one the
    // register prints (RegisterText) of at most maxLength characters.
    static void PrintedLines(const JsonValue& value, ECRString* lines, bool* doubleSize, std::size_t count,
                             std::size_t maxLength, const std::string& where);
    // The same given as a text or as a JSON number (whole, or with decimals
    // as JsonReader keeps them when it takes decimals).
    static std::int32_t Amount(const JsonValue& value, std::size_t maxWhole, int decimals, const std::string& where);
};
