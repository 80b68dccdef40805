#include "serial/platform/ComPortName.h"

#include <cctype>
#include <climits>

namespace {

constexpr std::string_view kDeviceNamespace = "\\\\.\\";

std::string_view WithoutDeviceNamespace(std::string_view name)
{
    if (name.substr(0, kDeviceNamespace.size()) == kDeviceNamespace) {
        name.remove_prefix(kDeviceNamespace.size());
    }
    return name;
}

bool StartsWithCom(std::string_view name)
{
    if (name.size() < 3) {
        return false;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<int> ComPortName::Number(std::string_view name)
{
    name = WithoutDeviceNamespace(name);
    if (name.size() < 4 || !StartsWithCom(name)) {
        return std::nullopt;
    }
    const std::string_view digits = name.substr(3);
    if (digits.front() == '0') {
        return std::nullopt;
    }
    long number = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
        if (number > INT_MAX / 10) {  // far beyond any real port; keeps the arithmetic in range
            return std::nullopt;
        }
    }
    return static_cast<int>(number);
}

std::string ComPortName::ForPort(int portNumber)
{
    const std::string name = "COM" + std::to_string(portNumber);
    return portNumber >= 10 ? std::string(kDeviceNamespace) + name : name;
}

std::string ComPortName::SystemPath(std::string_view name)
{
    if (const std::optional<int> port = Number(name)) {
        return "/dev/ttyS" + std::to_string(*port - 1);
    }
    // "COM0" or "COM-1" (no port chosen) names no device; it must not open a
    // file of that name in the current folder.
    if (StartsWithCom(WithoutDeviceNamespace(name))) {
        return std::string();
    }
    return std::string(name);
}
