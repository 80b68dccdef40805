#pragma once

#include <string>

// Where ports and doctor look at this machine: the device folder, sysfs,
// /proc and the group file. The real ones unless a test lays out a tree of
// its own and points these at it.
struct HostPaths {
    std::string dev = "/dev";
    std::string sys = "/sys";
    std::string proc = "/proc";
    std::string groupFile = "/etc/group";

    // A device path as this tree holds it: "/dev/ttyS0" under dev; any other path as given.
    std::string Device(const std::string& path) const
    {
        const std::string prefix = "/dev/";
        if (dev == "/dev" || path.compare(0, prefix.size(), prefix) != 0)
            return path;
        return dev + "/" + path.substr(prefix.size());
    }
};
