#include "sim/SimFieldReader.h"

std::optional<std::string> SimFieldReader::Text(char terminator)
{
    if (m_error != 0) {
        return std::nullopt;
    }
    const std::size_t end = m_body.find(terminator, m_position);
    if (end == std::string::npos) {
        m_error = 3;
        return std::nullopt;
    }
    std::string text = m_body.substr(m_position, end - m_position);
    m_position = end + 1;
    return text;
}

std::optional<std::int64_t> SimFieldReader::Number(char terminator)
{
    const std::optional<std::string> text = Text(terminator);
    if (!text) {
        return std::nullopt;
    }
    std::size_t i = 0;
    const bool negative = !text->empty() && (*text)[0] == '-';
    if (negative) {
        i = 1;
    }
    // Eighteen digits keep the value well inside 64 bits.
    if (i == text->size() || text->size() - i > 18) {
        m_error = 4;
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c < '0' || c > '9') {
            m_error = 4;
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool SimFieldReader::Printable(const std::string& text, std::size_t maxLength, bool allowEmpty)
{
    if (text.size() > maxLength || (!allowEmpty && text.empty())) {
        return false;
    }
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') {
            return false;
        }
    }
    return true;
}
