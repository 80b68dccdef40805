// The comm-API subset on POSIX. A handle is the device's descriptor; the
// handle table owns the open devices and finds them again for each call.

#include "serial/platform/CommApi.h"
#include "serial/platform/ComPortName.h"
#include "serial/platform/PosixCommDevice.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct HandleTable {
    std::mutex mutex;
    std::map<int, std::shared_ptr<PosixCommDevice>> devices;
};

// Built on first use, so a port opened during static start-up finds it ready.
HandleTable& Table()
{
    static HandleTable table;
    return table;
}

int DescriptorOf(HANDLE handle)
{
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle));
}

// Shared, so a device stays alive through a call even if another thread
// closes its handle meanwhile.
std::shared_ptr<PosixCommDevice> Find(HANDLE handle)
{
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    HandleTable& table = Table();
    const std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.devices.find(DescriptorOf(handle));
    return found == table.devices.end() ? nullptr : found->second;
}

}  // namespace

HANDLE CreateFileA(const char* fileName, DWORD desiredAccess, DWORD shareMode, SECURITY_ATTRIBUTES* /*security*/,
                   DWORD creationDisposition, DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/)
{
    // Only devices are opened here; nothing is ever created.
    if (fileName == nullptr || creationDisposition != OPEN_EXISTING) {
        return INVALID_HANDLE_VALUE;
    }
    std::unique_ptr<PosixCommDevice> device =
        PosixCommDevice::Open(ComPortName::SystemPath(fileName), (desiredAccess & GENERIC_READ) != 0,
                              (desiredAccess & GENERIC_WRITE) != 0, shareMode == 0);
    if (!device) {
        return INVALID_HANDLE_VALUE;
    }
    const int fd = device->Descriptor();
    HandleTable& table = Table();
    const std::lock_guard<std::mutex> lock(table.mutex);
    table.devices[fd] = std::move(device);
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd));
}

BOOL GetCommState(HANDLE file, DCB* dcb)
{
    const auto device = Find(file);
    return device && dcb != nullptr && device->GetState(*dcb) ? TRUE : FALSE;
}

BOOL SetCommState(HANDLE file, DCB* dcb)
{
    const auto device = Find(file);
    return device && dcb != nullptr && device->SetState(*dcb) ? TRUE : FALSE;
}

BOOL GetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts)
{
    const auto device = Find(file);
    if (!device || timeouts == nullptr) {
        return FALSE;
    }
    *timeouts = device->Timeouts();
    return TRUE;
}

BOOL SetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts)
{
    const auto device = Find(file);
    if (!device || timeouts == nullptr) {
        return FALSE;
    }
    device->SetTimeouts(*timeouts);
    return TRUE;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* /*overlapped*/)
{
    DWORD count = 0;
    const auto device = Find(file);
    const bool ok = device && buffer != nullptr && device->Read(buffer, bytesToRead, count);
    if (bytesRead != nullptr) {
        *bytesRead = count;
    }
    return ok ? TRUE : FALSE;
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten, OVERLAPPED* /*overlapped*/)
{
    DWORD count = 0;
    const auto device = Find(file);
    const bool ok = device && (buffer != nullptr || bytesToWrite == 0) && device->Write(buffer, bytesToWrite, count);
    if (bytesWritten != nullptr) {
        *bytesWritten = count;
    }
    return ok ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE object)
{
    std::shared_ptr<PosixCommDevice> device;
    {
        HandleTable& table = Table();
        const std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.devices.find(DescriptorOf(object));
        if (object == INVALID_HANDLE_VALUE || found == table.devices.end()) {
            return FALSE;
        }
        device = std::move(found->second);
        table.devices.erase(found);
    }
    return TRUE;  // the descriptor closes when the last user lets go
}
