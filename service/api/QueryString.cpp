#include "service/api/QueryString.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> Decode(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            decoded += ' ';
        } else if (text[i] != '%') {
            decoded += text[i];
        } else {
            const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        }
    }
    return decoded;
}

}  // namespace

std::optional<QueryString> QueryString::Parse(std::string_view query)
{
    QueryString parsed;
    std::size_t from = 0;
    while (from <= query.size() && !query.empty()) {
        const std::size_t amp = query.find('&', from);
        const std::string_view part = query.substr(from, amp == std::string_view::npos ? amp : amp - from);
        if (!part.empty()) {
            const std::size_t equals = part.find('=');
            const std::optional<std::string> name = Decode(part.substr(0, equals));
            const std::optional<std::string> value =
                Decode(equals == std::string_view::npos ? std::string_view() : part.substr(equals + 1));
            if (!name || !value)
                return std::nullopt;
            parsed.m_parameters.emplace_back(*name, *value);
        }
        if (amp == std::string_view::npos)
            break;
        from = amp + 1;
    }
    return parsed;
}

std::optional<std::string> QueryString::Get(std::string_view name) const
{
    for (const auto& [key, value] : m_parameters) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::vector<std::string> QueryString::Names() const
{
    std::vector<std::string> names;
    for (const auto& parameter : m_parameters)
        names.push_back(parameter.first);
    return names;
}

std::string QueryString::Encode(std::string_view value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
            byte == '-' || byte == '.' || byte == '_' || byte == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0x0F];
        }
    }
    return encoded;
}
