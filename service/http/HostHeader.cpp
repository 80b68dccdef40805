#include "service/http/HostHeader.h"

#include <boost/asio/ip/address_v6.hpp>
#include <cstring>

namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// RFC 3986 reg-name: unreserved, sub-delims and pct-encoded characters.
bool IsRegName(std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '%') {
            if (i + 2 >= name.size() || !IsHexDigit(name[i + 1]) || !IsHexDigit(name[i + 2]))
                return false;
            i += 2;
            continue;
        }
        const bool alphanumeric = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alphanumeric && (c == '\0' || std::strchr("-._~!$&'()*+,;=", c) == nullptr))
            return false;
    }
    return !name.empty();
}

// An IPv6 address as a URI writes it between brackets (no zone: a Host that
// names one is nothing a client of this machine sends).
bool IsIpv6(std::string_view text)
{
    if (text.empty() || text.find('%') != std::string_view::npos)
        return false;
    boost::system::error_code error;
    boost::asio::ip::make_address_v6(std::string(text), error);
    return !error;
}

}  // namespace

std::optional<HostHeader> HostHeader::Parse(std::string_view text)
{
    HostHeader parsed;
    std::string_view rest;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos || !IsIpv6(text.substr(1, close - 1)))
            return std::nullopt;
        parsed.host = std::string(text.substr(1, close - 1));
        parsed.ipv6 = true;
        rest = text.substr(close + 1);
    } else {
        const std::size_t colon = text.find(':');
        if (!IsRegName(text.substr(0, colon)))
            return std::nullopt;
        parsed.host = std::string(text.substr(0, colon));
        rest = colon == std::string_view::npos ? std::string_view() : text.substr(colon);
    }
    if (rest.empty())
        return parsed;
    // ":" and 1 to 5 digits, at most 65535.
    if (rest.front() != ':' || rest.size() < 2 || rest.size() > 6)
        return std::nullopt;
    unsigned port = 0;
    for (char c : rest.substr(1)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        port = port * 10 + static_cast<unsigned>(c - '0');
    }
    if (port > 65535)
        return std::nullopt;
    parsed.port = static_cast<std::uint16_t>(port);
    return parsed;
}
