#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

// Takes the fields of a request body from the front, each up to its
// terminator byte (US, LF or TAB). A missing terminator or a number that is
// not a plain decimal integer sets the refusal code the register answers
// with: 3 for a missing field, 4 for a bad value.
class SimFieldReader {
public:
    explicit SimFieldReader(std::string body) : m_body(std::move(body)) {}

    std::optional<std::string> Text(char terminator);
    std::optional<std::int64_t> Number(char terminator);

    // Shorthands for the three field kinds of the protocol.
    std::optional<std::int64_t> Count() { return Number(0x1F); }
    std::optional<std::int64_t> Amount() { return Number(0x09); }
    std::optional<std::string> Line() { return Text(0x0A); }

    bool AtEnd() const { return m_position >= m_body.size(); }

    // True once every field was read and nothing but the fields was sent.
    bool Complete() const { return m_error == 0 && m_position == m_body.size(); }

    // 0 while every field read so far was sound, else the refusal code.
    std::int32_t Error() const { return m_error; }

    // Text the register accepts for a name or a printed line: at most maxLength
    // bytes, no control bytes and no backslash (a reply holding one would be
    // cut short at the client's frame end).
    static bool Printable(const std::string& text, std::size_t maxLength, bool allowEmpty = true);

    // A switch field: 0 or 1.
    static bool IsFlag(std::int64_t value) { return value == 0 || value == 1; }

private:
    std::string m_body;
    std::size_t m_position = 0;
    std::int32_t m_error = 0;
};
