#pragma once

#include "link/PortAddress.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

// Where the names COM1, COM2, ... lead, decided once at a front end's edge
// and handed down as a PortAddress. COMn leads to
//   - a mapping given to this map (thermal --port COMn=PATH, or the built-in
//     simulated register on COM1: MapSimulator), else
//   - what the environment variable ECR_COMn names, if set and not empty, else
//   - the system's own port COMn (/dev/ttyS(n-1) outside Windows).
// A mapping is a device path or a network address (tcp://HOST:PORT,
// rfc2217://HOST:PORT). On Windows the COM names are the system's own: a
// variable there counts only when it names a network address. The
// environment is only read here, when a name is resolved, so the map follows
// a variable set while the program runs; nothing below the front ends reads
// or writes it.
class ComPortMap {
public:
    // Where a mapping came from.
    enum class Source { System, Variable, Given, Simulator };

    // 3 -> "ECR_COM3".
    static std::string VariableName(int portNumber);

    // Points COMn at a device; false for a port number below 1 or an empty path.
    bool Map(int portNumber, const std::string& path);
    // As Map, for the simulated register the program runs itself (thermal
    // --simulator): its source is Simulator, so that a window can say so.
    bool MapSimulator(int portNumber, const std::string& path);
    // A mapping written "COMn=path", as given on a command line; false (and
    // nothing changed) when it is not of that form.
    bool Apply(std::string_view mapping);

    // The path COMn is mapped to (by this map or by ECR_COMn) and where that
    // came from; none when COMn is the system's own port.
    std::optional<std::string> MappedPath(int portNumber, Source* source = nullptr) const;
    // Where COMn leads.
    PortAddress Resolve(int portNumber) const;
    // A port as a user names it: "COMn" (or "\\.\COMn") resolved as above, a
    // network address, a path (a name with a '/') outside Windows as given;
    // none for anything else (a network address that cannot be read too).
    std::optional<PortAddress> Resolve(std::string_view name) const;
    // The device file COMn opens, to show the user: the mapped path, else the
    // system's serial device (the COM name itself on Windows).
    std::string DevicePath(int portNumber) const;

private:
    struct Given {
        std::string path;
        Source source;
    };
    bool Map(int portNumber, const std::string& path, Source source);

    std::map<int, Given> m_given;
};
