#include "ecr/files/JsonValue.h"

#include "ecr/commands/Utf8.h"

namespace {

// JSON text must be UTF-8: a byte that is not part of a well-formed
// sequence (a file name in another encoding, say) becomes U+FFFD.
void QuoteTo(std::string& out, const std::string& text)
{
    static const char digits[] = "0123456789abcdef";
    out += '"';
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = at;
        char32_t character = 0;
        if (!Utf8::Next(text, at, character)) {
            Utf8::Append(out, Utf8::kReplacement);
            continue;
        }
        switch (character) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (character < 0x20 || character == 0x7F) {
                out += "\\u00";
                out += digits[character >> 4];
                out += digits[character & 0x0F];
            } else {
                out.append(text, start, at - start);
            }
        }
    }
    out += '"';
}

}  // namespace

JsonValue JsonValue::Array()
{
    JsonValue value;
    value.m_kind = Kind::Array;
    return value;
}

JsonValue JsonValue::Object()
{
    JsonValue value;
    value.m_kind = Kind::Object;
    return value;
}

JsonValue JsonValue::Decimal(std::string text)
{
    JsonValue value;
    value.m_kind = Kind::Decimal;
    value.m_string = std::move(text);
    return value;
}

JsonValue& JsonValue::Set(const std::string& key, JsonValue value)
{
    m_kind = Kind::Object;
    for (auto& member : m_members) {
        if (member.first == key) {
            member.second = std::move(value);
            return member.second;
        }
    }
    m_members.emplace_back(key, std::move(value));
    return m_members.back().second;
}

JsonValue& JsonValue::Push(JsonValue value)
{
    m_kind = Kind::Array;
    m_items.push_back(std::move(value));
    return m_items.back();
}

const JsonValue* JsonValue::Find(const std::string& key) const
{
    for (const auto& member : m_members) {
        if (member.first == key)
            return &member.second;
    }
    return nullptr;
}

std::string JsonValue::Dump(bool pretty) const
{
    std::string out;
    DumpTo(out, pretty ? 0 : -1);
    return out;
}

void JsonValue::DumpTo(std::string& out, int indent) const
{
    // indent < 0: compact; else the depth of this value in a pretty document.
    const auto isPlain = [](const JsonValue& value) {
        return value.m_kind != Kind::Array && value.m_kind != Kind::Object;
    };
    bool oneLine = indent < 0;
    if (!oneLine) {
        oneLine = true;
        for (const JsonValue& item : m_items)
            oneLine = oneLine && isPlain(item);
        for (const auto& member : m_members)
            oneLine = oneLine && isPlain(member.second);
    }
    const int inner = indent < 0 ? -1 : indent + 1;
    const auto separate = [&](std::size_t i) {
        if (i != 0)
            out += oneLine && indent >= 0 ? ", " : ",";
        if (!oneLine)
            out += '\n' + std::string(static_cast<std::size_t>(inner) * 2, ' ');
    };
    const auto closeWith = [&](char closer) {
        if (!oneLine)
            out += '\n' + std::string(static_cast<std::size_t>(indent) * 2, ' ');
        out += closer;
    };
    switch (m_kind) {
    case Kind::Null: out += "null"; break;
    case Kind::Bool: out += m_bool ? "true" : "false"; break;
    case Kind::Number: out += std::to_string(m_number); break;
    case Kind::Decimal: out += m_string; break;
    case Kind::String: QuoteTo(out, m_string); break;
    case Kind::Array:
        out += '[';
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            separate(i);
            m_items[i].DumpTo(out, inner);
        }
        closeWith(']');
        break;
    case Kind::Object:
        out += '{';
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            separate(i);
            QuoteTo(out, m_members[i].first);
            out += indent < 0 ? ":" : ": ";
            m_members[i].second.DumpTo(out, inner);
        }
        closeWith('}');
        break;
    }
}
