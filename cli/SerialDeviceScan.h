#pragma once

#include "cli/HostPaths.h"

#include <string>
#include <vector>

// The serial devices of this machine: /dev/ttyS*, ttyUSB* and ttyACM*, and
// whatever the /dev/serial/by-id and by-path links lead to, with what sysfs
// tells of each (its driver, a USB adapter's identity, whether a ttyS has a
// UART behind it at all).
class SerialDeviceScan {
public:
    struct Device {
        std::string path;                // under the dev root, e.g. /dev/ttyUSB0
        std::string name;                // ttyUSB0
        std::vector<std::string> links;  // the by-id and by-path links to it
        std::string driver;              // ftdi_sio, cdc_acm, serial8250; empty if unknown
        bool hardware = true;            // false for a ttyS with no UART (sysfs type 0)
        // A USB adapter's identity; vendorId empty for other devices.
        std::string vendorId;
        std::string productId;
        std::string manufacturer;
        std::string product;
        std::string serial;
    };

    // In name order, numbers by value (ttyS2 before ttyS10).
    static std::vector<Device> Scan(const HostPaths& paths);
    // What sysfs tells of one device, by its name (ttyUSB0).
    static Device Describe(const HostPaths& paths, const std::string& name);
};
