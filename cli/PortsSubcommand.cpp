#include "cli/PortsSubcommand.h"

#include "cli/CliOutput.h"
#include "cli/CliSession.h"
#include "cli/TerminalText.h"
#include "link/ComPortMap.h"

#ifdef _WIN32
#include "serial/platform/WindowsHeader.h"
#else
#include "cli/ProcessTable.h"
#include "cli/SerialDeviceScan.h"

#include <cstdlib>
#include <filesystem>
#endif

namespace {

// Every line holds names from the machine (device and link names, sysfs
// attributes, process names, the registry's): printed escaped, so that none
// can send the terminal a control sequence. JSON holds them as they are.
void ShowLine(CliOutput& output, const std::string& text)
{
    output.Line(TerminalText::Escape(text));
}

#ifdef _WIN32

// The COM ports Windows knows, from HKLM\HARDWARE\DEVICEMAP\SERIALCOMM.
void ListComPorts(CliOutput& output)
{
    JsonValue& json = output.Result().Set("comPorts", JsonValue::Array());
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        ShowLine(output, "no COM ports");
        return;
    }
    for (DWORD i = 0;; ++i) {
        char device[256];
        DWORD deviceSize = sizeof device;
        BYTE port[64];
        DWORD portSize = sizeof port - 1;
        DWORD type = 0;
        if (RegEnumValueA(key, i, device, &deviceSize, nullptr, &type, port, &portSize) != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        port[portSize] = 0;
        const std::string name(reinterpret_cast<const char*>(port));
        output.Line(TerminalText::Escape(name) + "\t" + TerminalText::Escape(device));
        JsonValue item = JsonValue::Object();
        item.Set("port", name);
        item.Set("device", std::string(device));
        json.Push(std::move(item));
    }
    RegCloseKey(key);
}

#else

std::string Describe(const SerialDeviceScan::Device& device)
{
    std::string text;
    if (!device.vendorId.empty()) {
        text += "  USB " + device.vendorId + ":" + device.productId;
        for (const std::string* part : {&device.manufacturer, &device.product})
            text += part->empty() ? "" : " " + *part;
        if (!device.serial.empty())
            text += ", serial " + device.serial;
    }
    if (!device.driver.empty())
        text += "  (" + device.driver + ")";
    return text;
}

JsonValue DeviceJson(const SerialDeviceScan::Device& device, const std::vector<ProcessTable::Process>& holders)
{
    JsonValue item = JsonValue::Object();
    item.Set("path", device.path);
    item.Set("hardware", device.hardware);
    item.Set("driver", device.driver);
    JsonValue& links = item.Set("links", JsonValue::Array());
    for (const std::string& link : device.links)
        links.Push(link);
    if (!device.vendorId.empty()) {
        JsonValue& usb = item.Set("usb", JsonValue::Object());
        usb.Set("vendorId", device.vendorId);
        usb.Set("productId", device.productId);
        usb.Set("manufacturer", device.manufacturer);
        usb.Set("product", device.product);
        usb.Set("serial", device.serial);
    }
    JsonValue& openBy = item.Set("openBy", JsonValue::Array());
    for (const ProcessTable::Process& holder : holders) {
        JsonValue process = JsonValue::Object();
        process.Set("pid", holder.pid);
        process.Set("name", holder.name);
        openBy.Push(std::move(process));
    }
    return item;
}

void ListDevices(CliOutput& output, const HostPaths& paths)
{
    const std::vector<SerialDeviceScan::Device> devices = SerialDeviceScan::Scan(paths);
    const ProcessTable processes = ProcessTable::Load(paths.proc);
    JsonValue& json = output.Result().Set("devices", JsonValue::Array());
    std::string withoutUart;
    for (const SerialDeviceScan::Device& device : devices) {
        const std::vector<ProcessTable::Process> holders = processes.Holding(device.path);
        json.Push(DeviceJson(device, holders));
        // The kernel lists ports without a UART behind them; one line says which.
        if (!device.hardware && holders.empty()) {
            withoutUart += " " + device.name;
            continue;
        }
        ShowLine(output, device.path + Describe(device) + (device.hardware ? "" : "  (no UART behind it)"));
        for (const std::string& link : device.links)
            ShowLine(output, "  " + link);
        for (const ProcessTable::Process& holder : holders)
            ShowLine(output, "  open by " + std::to_string(holder.pid) + " (" + holder.name + ")");
    }
    if (devices.empty())
        ShowLine(output, "no serial devices in " + paths.dev);
    if (!withoutUart.empty())
        ShowLine(output, "no UART behind:" + withoutUart);
    if (processes.Unreadable() != 0) {
        ShowLine(output, "(" + std::to_string(processes.Unreadable()) +
                             " processes of other users could not be looked at; as root every holder shows)");
    }
    output.Result().Set("unreadableProcesses", processes.Unreadable());
}

// Where COM1..COM8, the program's port list, lead on this machine.
void ListComMapping(CliOutput& output, const HostPaths& paths)
{
    JsonValue& json = output.Result().Set("comPorts", JsonValue::Array());
    for (int port = 1; port <= 8; ++port) {
        const std::string variable = ComPortMap::VariableName(port);
        ComPortMap::Source source = ComPortMap::Source::System;
        ComPortMap().MappedPath(port, &source);
        const bool fromVariable = source == ComPortMap::Source::Variable;
        const std::string path = paths.ComDevice(port);
        std::error_code error;
        const bool exists = std::filesystem::exists(path, error);
        ShowLine(output, "COM" + std::to_string(port) + " -> " + path + (fromVariable ? " (" + variable + ")" : "") +
                             (exists ? "" : "  (missing)"));
        JsonValue item = JsonValue::Object();
        item.Set("port", "COM" + std::to_string(port));
        item.Set("path", path);
        item.Set("from", fromVariable ? variable : std::string("default"));
        item.Set("exists", exists);
        json.Push(std::move(item));
    }
}

#endif

}  // namespace

void PortsSubcommand::AddHostOptions(CLI::App* command, HostPaths& paths)
{
    // For tests and for looking at another system's tree; not listed in the help.
    command->add_option("--dev-root", paths.dev)->group("");
    command->add_option("--sys-root", paths.sys)->group("");
    command->add_option("--proc-root", paths.proc)->group("");
    command->add_option("--group-file", paths.groupFile)->group("");
}

void PortsSubcommand::Register(CLI::App& app, CliAction& chosen)
{
    CLI::App* ports = app.add_subcommand(
        "ports",
        "List this machine's serial devices, who holds them open, and where COM1..COM8 lead (no register needed)");
    AddHostOptions(ports, m_paths);
    OnChosen(ports, chosen, CliAction(CliAction::Link::None, [this](CliSession& s) { Run(s.Output()); }));
}

void PortsSubcommand::Run(CliOutput& output) const
{
#ifdef _WIN32
    ListComPorts(output);
#else
    ListDevices(output, m_paths);
    ListComMapping(output, m_paths);
#endif
}
