#include "ecr/files/JsonReader.h"

#include "ecr/commands/Utf8.h"

#include <cstdint>
#include <limits>
#include <unordered_set>

class JsonReader::Parser {
public:
    Parser(std::string_view text, const JsonReader::Limits& limits) : m_text(text), m_limits(limits) {}

    bool Document(JsonValue& value)
    {
        if (m_text.size() > m_limits.maxBytes)
            return Fail("the document is larger than " + std::to_string(m_limits.maxBytes) + " bytes");
        if (m_text.substr(0, Utf8::kByteOrderMark.size()) == Utf8::kByteOrderMark)
            return Fail("a byte order mark is not JSON");
        if (!Value(value, 0))
            return false;
        SkipSpace();
        if (m_at != m_text.size())
            return Fail("text after the end of the document");
        return true;
    }

    // "line L, column C: what".
    std::string Error() const
    {
        std::size_t line = 1;
        std::size_t lineStart = 0;
        for (std::size_t i = 0; i < m_errorAt && i < m_text.size(); ++i) {
            if (m_text[i] == '\n') {
                ++line;
                lineStart = i + 1;
            }
        }
        return "line " + std::to_string(line) + ", column " + std::to_string(m_errorAt - lineStart + 1) + ": " +
               m_error;
    }

private:
    bool Fail(const std::string& what)
    {
        m_error = what;
        m_errorAt = m_at;
        return false;
    }

    bool AtEnd() const { return m_at >= m_text.size(); }
    char Peek() const { return m_text[m_at]; }

    void SkipSpace()
    {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++m_at;
    }

    bool Value(JsonValue& value, std::size_t depth)
    {
        SkipSpace();
        if (AtEnd())
            return Fail("the document ends where a value should be");
        switch (Peek()) {
        case '{': return Object(value, depth + 1);
        case '[': return Array(value, depth + 1);
        case '"': {
            std::string text;
            if (!String(text))
                return false;
            value = JsonValue(std::move(text));
            return true;
        }
        case 't': return Literal("true", value, JsonValue(true));
        case 'f': return Literal("false", value, JsonValue(false));
        case 'n': return Literal("null", value, JsonValue());
        default: return Number(value);
        }
    }

    bool Literal(std::string_view word, JsonValue& value, JsonValue literal)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return Fail("not a JSON value");
        m_at += word.size();
        value = std::move(literal);
        return true;
    }

    bool Enter(std::size_t depth)
    {
        if (depth > m_limits.maxDepth)
            return Fail("nested deeper than " + std::to_string(m_limits.maxDepth) + " levels");
        ++m_at;
        SkipSpace();
        return true;
    }

    // After a member or an item: true with more set when a comma follows,
    // true with more clear at the closer.
    bool Next(char closer, bool& more)
    {
        SkipSpace();
        if (AtEnd())
            return Fail(std::string("the document ends before '") + closer + "'");
        if (Peek() == ',') {
            ++m_at;
            SkipSpace();
            if (!AtEnd() && Peek() == closer)
                return Fail(std::string("a comma before '") + closer + "'");
            more = true;
            return true;
        }
        if (Peek() != closer)
            return Fail(std::string("expected ',' or '") + closer + "'");
        ++m_at;
        more = false;
        return true;
    }

    bool Object(JsonValue& value, std::size_t depth)
    {
        if (!Enter(depth))
            return false;
        value = JsonValue::Object();
        if (!AtEnd() && Peek() == '}') {
            ++m_at;
            return true;
        }
        std::unordered_set<std::string> keys;
        for (bool more = true; more;) {
            SkipSpace();
            if (AtEnd() || Peek() != '"')
                return Fail("expected a key in double quotes");
            const std::size_t keyAt = m_at;
            std::string key;
            if (!String(key))
                return false;
            if (!keys.insert(key).second) {
                m_at = keyAt;
                return Fail("the key \"" + key + "\" appears twice");
            }
            SkipSpace();
            if (AtEnd() || Peek() != ':')
                return Fail("expected ':' after a key");
            ++m_at;
            JsonValue member;
            if (!Value(member, depth))
                return false;
            value.m_members.emplace_back(std::move(key), std::move(member));
            if (!Next('}', more))
                return false;
        }
        return true;
    }

    bool Array(JsonValue& value, std::size_t depth)
    {
        if (!Enter(depth))
            return false;
        value = JsonValue::Array();
        if (!AtEnd() && Peek() == ']') {
            ++m_at;
            return true;
        }
        for (bool more = true; more;) {
            JsonValue item;
            if (!Value(item, depth))
                return false;
            value.m_items.push_back(std::move(item));
            if (!Next(']', more))
                return false;
        }
        return true;
    }

    bool Number(JsonValue& value)
    {
        const std::size_t start = m_at;
        const bool negative = Peek() == '-';
        if (negative)
            ++m_at;
        if (AtEnd() || Peek() < '0' || Peek() > '9') {
            m_at = start;
            return Fail("not a JSON value");
        }
        if (Peek() == '0' && m_at + 1 < m_text.size() && m_text[m_at + 1] >= '0' && m_text[m_at + 1] <= '9')
            return Fail("a number with a leading zero");
        // Accumulated negatively, so that the most negative 64-bit number fits.
        std::int64_t number = 0;
        constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            const int digit = Peek() - '0';
            if (number < (lowest + digit) / 10) {
                m_at = start;
                return Fail("a number beyond 64 bits");
            }
            number = number * 10 - digit;
            ++m_at;
        }
        if (m_limits.decimals && !AtEnd() && Peek() == '.')
            return Fraction(start, value);
        if (!AtEnd() && (Peek() == '.' || Peek() == 'e' || Peek() == 'E'))
            return Fail(m_limits.decimals ? "write the number without an exponent"
                                          : "only whole numbers are expected here");
        if (!negative && number == lowest) {
            m_at = start;
            return Fail("a number beyond 64 bits");
        }
        value = JsonValue(negative ? number : -number);
        return true;
    }

    // The digits after the point of a number that began at start.
    bool Fraction(std::size_t start, JsonValue& value)
    {
        ++m_at;
        if (AtEnd() || Peek() < '0' || Peek() > '9')
            return Fail("a number needs digits after its point");
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
            ++m_at;
        if (!AtEnd() && (Peek() == 'e' || Peek() == 'E'))
            return Fail("write the number without an exponent");
        value = JsonValue::Decimal(std::string(m_text.substr(start, m_at - start)));
        return true;
    }

    bool Hex4(char32_t& code)
    {
        code = 0;
        for (int i = 0; i < 4; ++i, ++m_at) {
            if (AtEnd())
                return Fail("the document ends inside a \\u escape");
            const char c = Peek();
            int digit = 0;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return Fail("a \\u escape needs four hexadecimal digits");
            code = code * 16 + static_cast<char32_t>(digit);
        }
        return true;
    }

    bool Escape(std::string& out)
    {
        const std::size_t start = m_at - 1;  // at the backslash
        if (AtEnd())
            return Fail("the document ends inside a string");
        const char e = m_text[m_at++];
        switch (e) {
        case '"': out += '"'; return true;
        case '\\': out += '\\'; return true;
        case '/': out += '/'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'u': break;
        default: m_at = start; return Fail("an unknown escape in a string");
        }
        char32_t code = 0;
        if (!Hex4(code))
            return false;
        if (code >= 0xDC00 && code <= 0xDFFF) {
            m_at = start;
            return Fail("a \\u escape of a lone low surrogate");
        }
        if (code >= 0xD800 && code <= 0xDBFF) {
            char32_t low = 0;
            if (m_text.substr(m_at, 2) != "\\u") {
                m_at = start;
                return Fail("a \\u escape of a high surrogate without its low half");
            }
            m_at += 2;
            if (!Hex4(low))
                return false;
            if (low < 0xDC00 || low > 0xDFFF) {
                m_at = start;
                return Fail("a \\u escape of a high surrogate without its low half");
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        Utf8::Append(out, code);
        return true;
    }

    bool String(std::string& out)
    {
        ++m_at;  // the opening quote
        while (true) {
            if (AtEnd())
                return Fail("the document ends inside a string");
            const auto c = static_cast<unsigned char>(Peek());
            if (c == '"') {
                ++m_at;
                return true;
            }
            if (c < 0x20)
                return Fail("a control character in a string (it must be escaped)");
            if (c == '\\') {
                ++m_at;
                if (!Escape(out))
                    return false;
                continue;
            }
            const std::size_t start = m_at;
            char32_t character = 0;
            if (!Utf8::Next(m_text, m_at, character)) {
                m_at = start;
                return Fail("not valid UTF-8");
            }
            out.append(m_text, start, m_at - start);
        }
    }

    std::string_view m_text;
    const JsonReader::Limits& m_limits;
    std::size_t m_at = 0;
    std::string m_error;
    std::size_t m_errorAt = 0;
};

bool JsonReader::Parse(std::string_view text, JsonValue& value, std::string& error)
{
    return Parse(text, value, error, Limits());
}

bool JsonReader::Parse(std::string_view text, JsonValue& value, std::string& error, const Limits& limits)
{
    Parser parser(text, limits);
    JsonValue document;
    if (!parser.Document(document)) {
        error = parser.Error();
        return false;
    }
    value = std::move(document);
    return true;
}
