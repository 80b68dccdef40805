#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where a register link opens its port, resolved before the link is made: the
// system's own COM port n, a device by its path (a USB adapter, a
// pseudo-terminal), or a serial device server on the network (raw TCP or
// RFC 2217). Front ends turn what the user names into one (ComPortMap);
// below them nobody looks a port up again.
class PortAddress {
public:
    enum class Kind { ComPort, DevicePath, Tcp, Rfc2217 };

    // COMn as the system names it; n < 1 is kept, and opens nothing.
    static PortAddress ComPort(int number);
    static PortAddress DevicePath(std::string path);
    static PortAddress Network(Kind kind, std::string host, int port);

    // "tcp://HOST:PORT" or "rfc2217://HOST:PORT" (an IPv6 host in brackets):
    // the address; an empty host when the rest is not HOST:PORT with a port
    // of 1 to 65535; none when the text names no network address at all.
    static std::optional<PortAddress> ParseNetwork(std::string_view text);

    Kind GetKind() const { return m_kind; }
    bool IsNetwork() const { return m_kind == Kind::Tcp || m_kind == Kind::Rfc2217; }
    // The COM port's number, or the network port; 0 for a device path.
    int ComNumber() const { return m_kind == Kind::ComPort ? m_number : 0; }
    int NetworkPort() const { return IsNetwork() ? m_number : 0; }
    // The device path, or the network host; empty for a COM port.
    const std::string& Path() const { return m_path; }
    const std::string& Host() const { return m_path; }

    // The name a serial port is opened by: "COM3" ("\\.\COM12" from COM10 on) or the path.
    std::string DeviceName() const;
    // As the user would write it: "COM3", the path, or "tcp://host:port".
    std::string Text() const;

    bool operator==(const PortAddress& other) const
    {
        return m_kind == other.m_kind && m_number == other.m_number && m_path == other.m_path;
    }
    bool operator!=(const PortAddress& other) const { return !(*this == other); }

private:
    PortAddress(Kind kind, int number, std::string path);

    Kind m_kind;
    int m_number;
    std::string m_path;
};
