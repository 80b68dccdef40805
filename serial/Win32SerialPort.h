#pragma once

#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/SerialPort.h"
#include "serial/ByteReader.h"
#include "serial/SerialSettings.h"
#include "serial/platform/CommApi.h"

#include <cstdint>
#include <string>

// The serial port on the Windows communications functions (or our POSIX
// version of them). Reads go one byte per call (ByteReader), so a read stops
// exactly at its terminator and XON/XOFF bytes can be dropped; every read
// result goes to the traffic callback.
class Win32SerialPort : public SerialPort {
public:
    // No read runs longer than this once its first byte has come.
    static constexpr std::int64_t kMaxReadMs = ByteReader::kMaxReadMs;

    // Opens COMn, n being the settings' port number.
    explicit Win32SerialPort(const SerialSettings& settings);
    // Opens the device of that name (a path, or a COM name), with the
    // settings' line values; their port number is not used.
    Win32SerialPort(const SerialSettings& settings, std::string deviceName);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // Null switches the report off.
    void SetTrafficCallback(ECRTextCallback callback);
    // The name the port opens.
    const std::string& DeviceName() const { return m_deviceName; }
    // Why the last Open threw, as the system said it (SystemError: errno,
    // or GetLastError on Windows); 0 when it opened or no reason was given.
    int OpenFailure() const { return m_openFailure; }
    // OpenFailure in a few English words; empty when there is none.
    std::string Problem() const override;

    bool Open() override;
    bool Close() override;
    bool Write(ECRString text) override;
    ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) override;
    ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) override;
    bool SetReadTimeout(std::int32_t timeoutMs) override;

private:
    // One byte (0..255), or -1 when nothing came within the read time-out.
    int ReadByte();
    // Reads with the time-out set (the next read sets its own) and reports the result.
    ECRString ReadBytes(std::int32_t timeoutMs, char stop, std::int64_t limit);

    SerialSettings m_settings;
    std::string m_deviceName;
    ByteReader m_reader;
    int m_openFailure = 0;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    DCB m_dcb{};
    char m_byteBuffer[2] = {0, 0};
    COMMTIMEOUTS m_timeouts{};
};
