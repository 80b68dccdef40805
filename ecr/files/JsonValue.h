#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Just enough JSON for ecrctl's results and backup files and ecrd's
// requests: null, booleans, integers, decimal numbers kept as written (an
// amount never passes through a binary fraction), strings (UTF-8), arrays,
// and objects that keep their keys in insertion order. JsonReader reads a
// document back into one.
class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object, Decimal };

    JsonValue() = default;
    JsonValue(bool value) : m_kind(Kind::Bool), m_bool(value) {}              // NOLINT: values convert freely
    JsonValue(int value) : m_kind(Kind::Number), m_number(value) {}           // NOLINT
    JsonValue(std::int64_t value) : m_kind(Kind::Number), m_number(value) {}  // NOLINT
    JsonValue(std::size_t value) : m_kind(Kind::Number), m_number(static_cast<std::int64_t>(value)) {}  // NOLINT
    JsonValue(std::string value) : m_kind(Kind::String), m_string(std::move(value)) {}                  // NOLINT
    JsonValue(const char* value) : m_kind(Kind::String), m_string(value) {}                             // NOLINT

    static JsonValue Array();
    static JsonValue Object();
    // A number with a fraction, as written ("12.50"): AsString() gives the text.
    static JsonValue Decimal(std::string text);

    Kind GetKind() const { return m_kind; }
    // Sets a key of an object, replacing an earlier value of the same key.
    JsonValue& Set(const std::string& key, JsonValue value);
    // Appends to an array.
    JsonValue& Push(JsonValue value);

    // The value of each kind; the empty value of the kind when it is another
    // (a Decimal's text is its AsString()).
    bool AsBool() const { return m_bool; }
    std::int64_t AsNumber() const { return m_number; }
    const std::string& AsString() const { return m_string; }
    const std::vector<JsonValue>& Items() const { return m_items; }
    const std::vector<std::pair<std::string, JsonValue>>& Members() const { return m_members; }
    // The member of an object, or null when there is none.
    const JsonValue* Find(const std::string& key) const;

    // Compact, or (pretty) indented by two spaces with every array or object
    // that holds only plain values on one line, so that a file of many
    // records reads and compares line by line.
    std::string Dump(bool pretty = false) const;

private:
    friend class JsonReader;  // builds documents member by member, without the key search of Set

    void DumpTo(std::string& out, int indent) const;

    Kind m_kind = Kind::Null;
    bool m_bool = false;
    std::int64_t m_number = 0;
    std::string m_string;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};
