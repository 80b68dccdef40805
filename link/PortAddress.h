#pragma once

#include <string>

// Where a register link opens its port, resolved before the link is made: the
// system's own COM port n, or a device by its path (a USB adapter, a
// pseudo-terminal). Front ends turn what the user names into one
// (ComPortMap); below them nobody looks a port up again.
class PortAddress {
public:
    enum class Kind { ComPort, DevicePath };

    // COMn as the system names it; n < 1 is kept, and opens nothing.
    static PortAddress ComPort(int number);
    static PortAddress DevicePath(std::string path);

    Kind GetKind() const { return m_kind; }
    // The COM port's number; 0 for a device path.
    int ComNumber() const { return m_number; }
    // The device path; empty for a COM port.
    const std::string& Path() const { return m_path; }

    // The name the port is opened by: "COM3" ("\\.\COM12" from COM10 on) or the path.
    std::string DeviceName() const;
    // As the user would write it: "COM3" or the path.
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
