#pragma once

#include "serial/platform/CommApi.h"

#include <memory>
#include <string>

// One open serial device behind a comm-API handle on POSIX: the descriptor
// (with its exclusive lock), the line settings in DCB terms and the read
// time-outs that the Windows driver would keep for the handle.
class PosixCommDevice {
public:
    // Opens an existing device; null, with errno saying why, when it is
    // missing, not accessible, or (exclusive) already open elsewhere. A
    // terminal is switched to a raw line.
    static std::unique_ptr<PosixCommDevice> Open(const std::string& path, bool read, bool write, bool exclusive);

    // Takes over an open descriptor; exclusiveMarked says TIOCEXCL was set on it.
    PosixCommDevice(int fd, bool exclusiveMarked) : m_fd(fd), m_exclusiveMarked(exclusiveMarked) {}
    ~PosixCommDevice();
    PosixCommDevice(const PosixCommDevice&) = delete;
    PosixCommDevice& operator=(const PosixCommDevice&) = delete;

    int Descriptor() const { return m_fd; }

    bool GetState(DCB& dcb) const;
    bool SetState(const DCB& dcb);

    COMMTIMEOUTS Timeouts() const { return m_timeouts; }
    void SetTimeouts(const COMMTIMEOUTS& timeouts) { m_timeouts = timeouts; }

    // Reads as ReadFile does under the current time-outs; false when the line
    // has hung up or failed before anything was read.
    bool Read(void* buffer, DWORD size, DWORD& bytesRead);
    // Writes every byte, however many calls that takes; false on a failure.
    bool Write(const void* buffer, DWORD size, DWORD& bytesWritten);

private:
    int m_fd;
    bool m_exclusiveMarked;
    COMMTIMEOUTS m_timeouts{};
};
