#include "link/ComPortMap.h"

#include "serial/platform/ComPortName.h"

#include <cstdlib>

std::string ComPortMap::VariableName(int portNumber)
{
    return "ECR_COM" + std::to_string(portNumber);
}

bool ComPortMap::Map(int portNumber, const std::string& path)
{
    return Map(portNumber, path, Source::Given);
}

bool ComPortMap::MapSimulator(int portNumber, const std::string& path)
{
    return Map(portNumber, path, Source::Simulator);
}

bool ComPortMap::Map(int portNumber, const std::string& path, Source source)
{
    if (portNumber < 1 || path.empty()) {
        return false;
    }
    m_given[portNumber] = Given{path, source};
    return true;
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
    const std::optional<int> port = ComPortName::Number(name);
    return port && Map(*port, std::string(mapping.substr(equals + 1)));
}

std::optional<std::string> ComPortMap::MappedPath(int portNumber, Source* source) const
{
    const auto given = m_given.find(portNumber);
    if (given != m_given.end()) {
        if (source != nullptr) {
            *source = given->second.source;
        }
        return given->second.path;
    }
    const char* variable = std::getenv(VariableName(portNumber).c_str());
#ifdef _WIN32
    // Windows has the COM names itself; a variable may only lead one to the network.
    if (variable != nullptr && !PortAddress::ParseNetwork(variable)) {
        variable = nullptr;
    }
#endif
    if (variable != nullptr && *variable != '\0') {
        if (source != nullptr) {
            *source = Source::Variable;
        }
        return std::string(variable);
    }
    if (source != nullptr) {
        *source = Source::System;
    }
    return std::nullopt;
}

PortAddress ComPortMap::Resolve(int portNumber) const
{
    if (const std::optional<std::string> path = MappedPath(portNumber)) {
        // An address that cannot be read stays one, and fails as such when opened.
        return PortAddress::ParseNetwork(*path).value_or(PortAddress::DevicePath(*path));
    }
    return PortAddress::ComPort(portNumber);
}

std::optional<PortAddress> ComPortMap::Resolve(std::string_view name) const
{
    if (const std::optional<int> port = ComPortName::Number(name)) {
        return Resolve(*port);
    }
    if (const std::optional<PortAddress> network = PortAddress::ParseNetwork(name)) {
        if (network->Host().empty()) {
            return std::nullopt;
        }
        return network;
    }
#ifndef _WIN32
    // Windows opens its COM ports by name only; a path would open no port at all.
    if (name.find('/') != std::string_view::npos) {
        return PortAddress::DevicePath(std::string(name));
    }
#endif
    return std::nullopt;
}

std::string ComPortMap::DevicePath(int portNumber) const
{
    if (const std::optional<std::string> path = MappedPath(portNumber)) {
        return *path;
    }
#ifdef _WIN32
    return ComPortName::ForPort(portNumber);
#else
    return ComPortName::SystemPath("COM" + std::to_string(portNumber));
#endif
}
