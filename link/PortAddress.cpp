#include "link/PortAddress.h"

#include "serial/platform/ComPortName.h"

#include <cctype>
#include <utility>

namespace {

constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kRfc2217Scheme = "rfc2217://";

// "65535" -> 65535; 0 for anything that is not a port number.
int PortNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5) {
        return 0;
    }
    int number = 0;
    for (const char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number <= 65535 ? number : 0;
}

}  // namespace

PortAddress::PortAddress(Kind kind, int number, std::string path)
    : m_kind(kind), m_number(number), m_path(std::move(path))
{
}

PortAddress PortAddress::ComPort(int number)
{
    return PortAddress(Kind::ComPort, number, std::string());
}

PortAddress PortAddress::DevicePath(std::string path)
{
    return PortAddress(Kind::DevicePath, 0, std::move(path));
}

PortAddress PortAddress::Network(Kind kind, std::string host, int port)
{
    return PortAddress(kind, port, std::move(host));
}

std::optional<PortAddress> PortAddress::ParseNetwork(std::string_view text)
{
    Kind kind;
    if (text.substr(0, kTcpScheme.size()) == kTcpScheme) {
        kind = Kind::Tcp;
        text.remove_prefix(kTcpScheme.size());
    } else if (text.substr(0, kRfc2217Scheme.size()) == kRfc2217Scheme) {
        kind = Kind::Rfc2217;
        text.remove_prefix(kRfc2217Scheme.size());
    } else {
        return std::nullopt;
    }
    const PortAddress unreadable(kind, 0, std::string());
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
        return unreadable;
    }
    std::string_view host = text.substr(0, colon);
    const int port = PortNumber(text.substr(colon + 1));
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return unreadable;  // an IPv6 address goes in brackets
    }
    for (const char c : host) {
        if (std::isspace(static_cast<unsigned char>(c)) || c == '/' || c == '[' || c == ']') {
            return unreadable;
        }
    }
    if (host.empty() || port == 0) {
        return unreadable;
    }
    return PortAddress(kind, port, std::string(host));
}

std::string PortAddress::DeviceName() const
{
    return m_kind == Kind::ComPort ? ComPortName::ForPort(m_number) : m_path;
}

std::string PortAddress::Text() const
{
    switch (m_kind) {
    case Kind::ComPort:
        return "COM" + std::to_string(m_number);
    case Kind::DevicePath:
        return m_path;
    case Kind::Tcp:
    case Kind::Rfc2217:
        break;
    }
    const std::string host = m_path.find(':') != std::string::npos ? "[" + m_path + "]" : m_path;
    return std::string(m_kind == Kind::Tcp ? kTcpScheme : kRfc2217Scheme) + host + ":" + std::to_string(m_number);
}
