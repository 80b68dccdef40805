#include "serial/platform/ComPortMap.h"

#include <cctype>
#include <climits>
#include <cstdlib>

std::string ComPortMap::VariableName(int portNumber)
{
    return "ECR_COM" + std::to_string(portNumber);
}

std::string ComPortMap::DevicePath(int portNumber)
{
    const char* mapped = std::getenv(VariableName(portNumber).c_str());
    if (mapped != nullptr && *mapped != '\0') {
        return mapped;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::optional<int> ComPortMap::PortNumber(std::string_view name)
{
    constexpr std::string_view devicePrefix = "\\\\.\\";
    if (name.substr(0, devicePrefix.size()) == devicePrefix) {
        name.remove_prefix(devicePrefix.size());
    }
    if (name.size() < 4) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return std::nullopt;
        }
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

std::string ComPortMap::PathForName(std::string_view name)
{
    const std::optional<int> port = PortNumber(name);
    if (port) {
        return DevicePath(*port);
    }
    // "COM0" or "COM-1" (no port chosen) names no device; it must not open a
    // file of that name in the current folder.
    std::string_view bare = name;
    if (bare.substr(0, 4) == "\\\\.\\") {
        bare.remove_prefix(4);
    }
    if (bare.size() >= 3 && std::toupper(static_cast<unsigned char>(bare[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(bare[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(bare[2])) == 'M') {
        return std::string();
    }
    return std::string(name);
}

bool ComPortMap::SetDevicePath(int portNumber, const std::string& path)
{
    if (portNumber < 1 || path.empty()) {
        return false;
    }
    const std::string variable = VariableName(portNumber);
#ifdef _WIN32
    return _putenv_s(variable.c_str(), path.c_str()) == 0;
#else
    return setenv(variable.c_str(), path.c_str(), 1) == 0;
#endif
}

bool ComPortMap::Apply(std::string_view mapping)
{
    const std::size_t equals = mapping.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string_view name = mapping.substr(0, equals);
    if (name.substr(0, 1) == "\\") {  // the device-namespace form names a port, it does not map one
        return false;
    }
    const std::optional<int> port = PortNumber(name);
    if (!port) {
        return false;
    }
    return SetDevicePath(*port, std::string(mapping.substr(equals + 1)));
}
