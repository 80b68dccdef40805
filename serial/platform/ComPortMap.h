#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where a port name "COMn" leads outside Windows: the path in the environment
// variable ECR_COMn if it is set and not empty, else /dev/ttyS(n-1). Setting
// the variable for the process is how a run puts COMn on a pseudo-terminal or
// a USB adapter. On Windows the names are the system's own and the variables
// are not consulted.
class ComPortMap {
public:
    // "COM3" -> "ECR_COM3".
    static std::string VariableName(int portNumber);

    // The device COMn opens.
    static std::string DevicePath(int portNumber);

    // The port number of "COMn" or "\\.\COMn" (any letter case, n >= 1), else none.
    static std::optional<int> PortNumber(std::string_view name);

    // The path a name passed to CreateFileA opens: a COM name through the map,
    // a malformed COM name ("COM0", "COM-1") none (empty), anything else as given.
    static std::string PathForName(std::string_view name);

    // Points COMn at a device for this process; false for a port number below 1
    // or an empty path.
    static bool SetDevicePath(int portNumber, const std::string& path);

    // Applies a mapping written "COMn=path", as given on a command line; false
    // (and nothing changed) when it is not of that form.
    static bool Apply(std::string_view mapping);
};
