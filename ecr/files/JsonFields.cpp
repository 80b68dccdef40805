#include "ecr/files/JsonFields.h"

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/files/FaultText.h"

#include <algorithm>
#include <limits>

void JsonFields::Refuse(const std::string& where, const std::string& problem)
{
    throw Refusal{where + ": " + problem};
}

const char* JsonFields::KindName(JsonValue::Kind kind)
{
    switch (kind) {
    case JsonValue::Kind::Null: return "null";
    case JsonValue::Kind::Bool: return "true or false";
    case JsonValue::Kind::Number: return "a number";
    case JsonValue::Kind::Decimal: return "a number with decimals";
    case JsonValue::Kind::String: return "a text";
    case JsonValue::Kind::Array: return "a list";
    case JsonValue::Kind::Object: return "an object";
    }
    return "";
}

const JsonValue& JsonFields::Expect(const JsonValue& value, JsonValue::Kind kind, const std::string& where)
{
    if (value.GetKind() != kind)
        Refuse(where, std::string("expected ") + KindName(kind) + ", found " + KindName(value.GetKind()));
    return value;
}

const JsonValue& JsonFields::Object(const JsonValue& value, std::initializer_list<const char*> required,
                                    const std::string& where, std::initializer_list<const char*> optional)
{
    Expect(value, JsonValue::Kind::Object, where);
    const auto listed = [](std::initializer_list<const char*> keys, const std::string& key) {
        return std::find_if(keys.begin(), keys.end(), [&](const char* k) { return key == k; }) != keys.end();
    };
    for (const auto& member : value.Members()) {
        if (!listed(required, member.first) && !listed(optional, member.first))
            Refuse(where, "unknown item \"" + member.first + "\"");
    }
    for (const char* key : required) {
        if (value.Find(key) == nullptr)
            Refuse(where, std::string("\"") + key + "\" is missing");
    }
    return value;
}

const JsonValue& JsonFields::Member(const JsonValue& object, const char* key, JsonValue::Kind kind,
                                    const std::string& where)
{
    const JsonValue* member = object.Find(key);
    if (member == nullptr)
        Refuse(where, std::string("\"") + key + "\" is missing");
    return Expect(*member, kind, where + ": " + key);
}

const JsonValue* JsonFields::Optional(const JsonValue& object, const char* key, JsonValue::Kind kind,
                                      const std::string& where)
{
    const JsonValue* member = object.Find(key);
    return member == nullptr ? nullptr : &Expect(*member, kind, where + ": " + key);
}

ECRString JsonFields::RegisterText(const std::string& utf8, std::size_t maxLength, bool mayBeEmpty,
                                   const std::string& where)
{
    std::string bytes;
    TextFault fault;
    if (!ECRCodePage::FromUtf8(utf8, bytes, fault))
        Refuse(where, FaultText::Describe(fault, FaultText::Language::English));
    const ECRString text(bytes.c_str());
    if (text.Length() != bytes.size())
        Refuse(where, "holds a zero character");
    if (const auto problem = ECRArticleRules::CheckNameBytes(text))
        Refuse(where, FaultText::Describe(*problem, FaultText::Language::English));
    if (bytes.size() > maxLength)
        Refuse(where,
               std::to_string(bytes.size()) + " characters, the register takes at most " + std::to_string(maxLength));
    if (!mayBeEmpty && bytes.empty())
        Refuse(where, "empty");
    return text;
}

void JsonFields::PrintedLines(const JsonValue& value, ECRString* lines, bool* doubleSize, std::size_t count,
                              std::size_t maxLength, const std::string& where)
{
    Expect(value, JsonValue::Kind::Array, where);
    if (value.Items().size() != count)
        Refuse(where, "expected " + std::to_string(count) + " lines, found " + std::to_string(value.Items().size()));
    for (std::size_t i = 0; i < count; ++i) {
        const std::string line = where + " line " + std::to_string(i + 1);
        const JsonValue& item = Object(value.Items()[i], {"text", "double"}, line);
        lines[i] = RegisterText(Member(item, "text", JsonValue::Kind::String, line).AsString(), maxLength, true, line);
        doubleSize[i] = Member(item, "double", JsonValue::Kind::Bool, line).AsBool();
    }
}

std::int32_t JsonFields::AmountText(const std::string& text, std::size_t maxWhole, int decimals,
                                    const std::string& where)
{
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > maxWhole || !digits(whole) ||
        (point != std::string::npos &&
         (fraction.empty() || fraction.size() > static_cast<std::size_t>(decimals) || !digits(fraction))))
        Refuse(where, "\"" + text + "\" is not an amount of up to " + std::to_string(maxWhole) + " digits and " +
                          std::to_string(decimals) + " decimals, such as " + (decimals == 3 ? "1.500" : "12.50"));
    // maxWhole keeps the digits within 64 bits; the scaled value must fit 32.
    std::int64_t value = std::stoll(whole);
    for (std::size_t i = 0; i < static_cast<std::size_t>(decimals); ++i)
        value = value * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (value > std::numeric_limits<std::int32_t>::max())
        Refuse(where, "\"" + text + "\" is too large");
    return static_cast<std::int32_t>(value);
}

std::int32_t JsonFields::Amount(const JsonValue& value, std::size_t maxWhole, int decimals, const std::string& where)
{
    switch (value.GetKind()) {
    case JsonValue::Kind::String:
    case JsonValue::Kind::Decimal: return AmountText(value.AsString(), maxWhole, decimals, where);
    case JsonValue::Kind::Number:
        if (value.AsNumber() < 0)
            Refuse(where, std::to_string(value.AsNumber()) + " is below zero");
        return AmountText(std::to_string(value.AsNumber()), maxWhole, decimals, where);
    default: Refuse(where, std::string("expected an amount, found ") + KindName(value.GetKind()));
    }
}
