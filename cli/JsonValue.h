#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Just enough JSON for ecrctl's results: null, booleans, integers, strings
// (UTF-8), arrays, and objects that keep their keys in insertion order.
class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    JsonValue(bool value) : m_kind(Kind::Bool), m_bool(value) {}  // NOLINT: values convert freely
    JsonValue(int value) : m_kind(Kind::Number), m_number(value) {}  // NOLINT
    JsonValue(std::int64_t value) : m_kind(Kind::Number), m_number(value) {}  // NOLINT
    JsonValue(std::size_t value) : m_kind(Kind::Number), m_number(static_cast<std::int64_t>(value)) {}  // NOLINT
    JsonValue(std::string value) : m_kind(Kind::String), m_string(std::move(value)) {}  // NOLINT
    JsonValue(const char* value) : m_kind(Kind::String), m_string(value) {}  // NOLINT

    static JsonValue Array();
    static JsonValue Object();

    Kind GetKind() const { return m_kind; }
    // Sets a key of an object, replacing an earlier value of the same key.
    JsonValue& Set(const std::string& key, JsonValue value);
    // Appends to an array.
    JsonValue& Push(JsonValue value);

    std::string Dump() const;

private:
    void DumpTo(std::string& out) const;

    Kind m_kind = Kind::Null;
    bool m_bool = false;
    std::int64_t m_number = 0;
    std::string m_string;
    std::vector<JsonValue> m_items;
    std::vector<std::pair<std::string, JsonValue>> m_members;
};
