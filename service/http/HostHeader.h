#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A Host header's value, read exactly as HTTP defines it: a name (reg-name:
// letters, digits, "-._~", "!$&'()*+,;=" and %XX escapes; dotted IPv4 is one
// such name) or an IPv6 address in brackets (without a zone), then
// optionally ':' and the port (1 to 5 digits, at most 65535), and nothing
// else. "[::1]evil.example", "127.0.0.1:80x", "a b" and "" are not Host
// values.
struct HostHeader {
    std::string host;                   // as written; an IPv6 address without its brackets
    std::optional<std::uint16_t> port;  // when one was given
    bool ipv6 = false;                  // the host is an IPv6 address

    // The parts of `text`; nullopt when it is not a Host value.
    static std::optional<HostHeader> Parse(std::string_view text);
};
