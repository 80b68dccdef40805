#include "link/PortAddress.h"

#include "serial/platform/ComPortName.h"

#include <utility>

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

std::string PortAddress::DeviceName() const
{
    return m_kind == Kind::ComPort ? ComPortName::ForPort(m_number) : m_path;
}

std::string PortAddress::Text() const
{
    return m_kind == Kind::ComPort ? "COM" + std::to_string(m_number) : m_path;
}
