#pragma once

#include <optional>
#include <string>
#include <string_view>

// The names of COM ports as the communications functions take them. On
// Windows the system maps them to devices; our POSIX version of those
// functions opens COMn as /dev/ttyS(n-1), the serial device counted from 0,
// and any other name as the path it is.
class ComPortName {
public:
    // The port number of "COMn" or "\\.\COMn" (any letter case, n >= 1), else none.
    static std::optional<int> Number(std::string_view name);

    // The name COMn is opened by: "COM3"; from COM10 on, Windows knows the
    // port only in the device namespace, "\\.\COM12".
    static std::string ForPort(int portNumber);

    // The POSIX device a name opens: COMn's serial device, none (empty) for
    // a malformed COM name ("COM0", "COM-1": no port chosen), anything else
    // as given.
    static std::string SystemPath(std::string_view name);
};
