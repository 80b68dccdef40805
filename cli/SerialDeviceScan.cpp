#include "cli/SerialDeviceScan.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute, or empty.
std::string Attribute(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// "ttyUSB10" -> ("ttyUSB", "10"): the name and the digits it ends in.
std::pair<std::string, std::string> SplitNumber(const std::string& name)
{
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    return {name.substr(0, digits), name.substr(digits)};
}

// ttyUSB2 before ttyUSB10, the order people expect.
bool NameBefore(const std::string& a, const std::string& b)
{
    const auto key = [](const std::string& name) {
        const auto [kind, number] = SplitNumber(name);
        return std::make_pair(kind, number.empty() || number.size() > 9 ? -1L : std::stol(number));
    };
    return key(a) < key(b);
}

// ttyS, ttyUSB or ttyACM and a number: the names serial lines take.
bool IsSerialName(const std::string& name)
{
    const auto [kind, number] = SplitNumber(name);
    return !number.empty() && (kind == "ttyS" || kind == "ttyUSB" || kind == "ttyACM");
}

}  // namespace

SerialDeviceScan::Device SerialDeviceScan::Describe(const HostPaths& paths, const std::string& name)
{
    Device device;
    device.name = name;
    device.path = (fs::path(paths.dev) / name).string();
    const fs::path tty = fs::path(paths.sys) / "class" / "tty" / name;
    std::error_code error;
    const fs::path driver = fs::read_symlink(tty / "device" / "driver", error);
    if (!error)
        device.driver = driver.filename().string();
    // The 8250 driver lists ports whether or not a UART answers there.
    if (name.rfind("ttyS", 0) == 0 && Attribute(tty / "type") == "0")
        device.hardware = false;

    // A USB adapter: up from the device to the USB device that holds the identity.
    const fs::path sysRoot = fs::weakly_canonical(paths.sys, error);
    fs::path at = fs::canonical(tty / "device", error);
    if (error)
        return device;
    for (; !at.empty() && at != at.parent_path() && at.string().rfind(sysRoot.string(), 0) == 0;
         at = at.parent_path()) {
        if (fs::exists(at / "idVendor", error)) {
            device.vendorId = Attribute(at / "idVendor");
            device.productId = Attribute(at / "idProduct");
            device.manufacturer = Attribute(at / "manufacturer");
            device.product = Attribute(at / "product");
            device.serial = Attribute(at / "serial");
            break;
        }
    }
    return device;
}

std::vector<SerialDeviceScan::Device> SerialDeviceScan::Scan(const HostPaths& paths)
{
    std::map<std::string, std::vector<std::string>> links;  // device name -> links to it
    std::error_code error;
    for (fs::directory_iterator it(paths.dev, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsSerialName(name))
            links[name];
    }
    for (const char* folder : {"by-id", "by-path"}) {
        const fs::path dir = fs::path(paths.dev) / "serial" / folder;
        std::error_code dirError;
        for (fs::directory_iterator it(dir, dirError), end; !dirError && it != end; it.increment(dirError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(it->path(), linkError);
            if (!linkError)
                links[target.filename().string()].push_back(it->path().string());
        }
    }

    std::vector<Device> devices;
    for (auto& [name, toIt] : links) {
        Device device = Describe(paths, name);
        std::sort(toIt.begin(), toIt.end());
        device.links = std::move(toIt);
        devices.push_back(std::move(device));
    }
    std::sort(devices.begin(), devices.end(),
              [](const Device& a, const Device& b) { return NameBefore(a.name, b.name); });
    return devices;
}
