#pragma once

#include "link/ComPortMap.h"

#include <string>

// Where ports and doctor look at this machine: the device folder, sysfs,
// /proc and the group file. The real ones unless a test lays out a tree of
// its own and points these at it.
struct HostPaths {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string proc = "/proc";
    std::string groupFile = "/etc/group";

    // Where COMn leads: the path ECR_COMn names, as given, else the default
    // /dev/ttyS(n-1) in this tree's device folder.
    std::string ComDevice(int portNumber) const
    {
        if (const auto mapped = ComPortMap().MappedPath(portNumber))
            return *mapped;
        return dev + "/ttyS" + std::to_string(portNumber - 1);
    }
};
