#include "serial/Win32SerialPort.h"

#include "ecr/protocol/CommError.h"
#include "serial/platform/ComPortName.h"
#include "serial/platform/SystemError.h"

#include <cstring>
#include <utility>

Win32SerialPort::Win32SerialPort(const SerialSettings& settings)
    : Win32SerialPort(settings, ComPortName::ForPort(settings.PortNumber()))
{
}

Win32SerialPort::Win32SerialPort(const SerialSettings& settings, std::string deviceName)
    : m_settings(settings), m_deviceName(std::move(deviceName))
{
}

Win32SerialPort::~Win32SerialPort()
{
    Close();
}

void Win32SerialPort::SetTrafficCallback(ECRTextCallback callback)
{
    m_reader.SetTrafficCallback(std::move(callback));
}

bool Win32SerialPort::Open()
{
    // Opening again must not lose the handle we hold: the device would stay
    // taken until the program ends.
    Close();
    m_openFailure = 0;
    // The system's reason is kept beside the design's code, for the user.
    const auto fail = [this](CommError::Code code) {
        m_openFailure = SystemError::Last();
        return CommError(code);
    };

    SystemError::Reset();
    m_hPort = CreateFileA(m_deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (m_hPort == INVALID_HANDLE_VALUE) {
        throw fail(CommError::OpenFailed);
    }

    std::memset(&m_dcb, 0, sizeof m_dcb);
    SystemError::Reset();
    if (!GetCommState(m_hPort, &m_dcb)) {
        throw fail(CommError::ReadSettingsFailed);
    }
    m_dcb.BaudRate = static_cast<DWORD>(m_settings.BaudRate());
    m_dcb.ByteSize = static_cast<BYTE>(m_settings.ByteSize());
    m_dcb.Parity = static_cast<BYTE>(m_settings.Parity());
    m_dcb.StopBits = static_cast<BYTE>(m_settings.StopBits());
    m_dcb.fOutxCtsFlow = static_cast<DWORD>(m_settings.FlowControl()) & 1u;
    m_dcb.fRtsControl = static_cast<DWORD>(m_settings.FlowControl()) & 3u;
    m_dcb.fDtrControl = static_cast<DWORD>(m_settings.DtrControl()) & 3u;
    // The driver keeps what the last program set. Whatever that was, every
    // byte must reach the reader as sent (it drops XON/XOFF itself, and a zero
    // byte ends a read), an XOFF from the register must not stop our writes,
    // a line error must not block the port, and DSR must not gate the bytes.
    m_dcb.fOutX = FALSE;
    m_dcb.fInX = FALSE;
    m_dcb.fNull = FALSE;
    m_dcb.fErrorChar = FALSE;
    m_dcb.fAbortOnError = FALSE;
    m_dcb.fOutxDsrFlow = FALSE;
    m_dcb.fDsrSensitivity = FALSE;
    SystemError::Reset();
    if (!SetCommState(m_hPort, &m_dcb)) {
        throw fail(CommError::ApplySettingsFailed);
    }
    return true;
}

bool Win32SerialPort::Close()
{
    if (m_hPort == INVALID_HANDLE_VALUE) {
        return true;
    }
    const BOOL closed = CloseHandle(m_hPort);
    m_hPort = INVALID_HANDLE_VALUE;
    return closed != FALSE;
}

bool Win32SerialPort::Write(ECRString text)
{
    DWORD written = 0;
    if (!WriteFile(m_hPort, text.Data(), text.Length(), &written, nullptr)) {
        throw CommError(CommError::WriteFailed);
    }
    return true;
}

bool Win32SerialPort::SetReadTimeout(std::int32_t timeoutMs)
{
    if (!GetCommTimeouts(m_hPort, &m_timeouts)) {
        throw CommError(CommError::ReadTimeoutFailed);
    }
    COMMTIMEOUTS wanted{};
    wanted.ReadTotalTimeoutConstant = static_cast<DWORD>(timeoutMs);
    // Each setting is a call to the driver: one the port has already is not made again.
    if (std::memcmp(&wanted, &m_timeouts, sizeof wanted) == 0) {
        return true;
    }
    m_timeouts = wanted;
    if (!SetCommTimeouts(m_hPort, &m_timeouts)) {
        throw CommError(CommError::ApplyTimeoutFailed);
    }
    return true;
}

int Win32SerialPort::ReadByte()
{
    DWORD read = 0;
    if (!ReadFile(m_hPort, m_byteBuffer, 1, &read, nullptr) || read == 0) {
        return -1;
    }
    return static_cast<unsigned char>(m_byteBuffer[0]);
}

ECRString Win32SerialPort::ReadUntil(ECRString terminator, std::int32_t timeoutMs)
{
    // An empty terminator's first byte is its terminating zero, which no read
    // byte can equal: the read then ends at the first gap.
    return ReadBytes(timeoutMs, terminator.Data()[0], ByteReader::kMaxReadUntilBytes);
}

ECRString Win32SerialPort::ReadCount(std::int32_t count, std::int32_t timeoutMs)
{
    // A zero byte ends every read before it is compared, so none stops this one early.
    return ReadBytes(timeoutMs, '\0', count);
}

ECRString Win32SerialPort::ReadBytes(std::int32_t timeoutMs, char stop, std::int64_t limit)
{
    SetReadTimeout(timeoutMs);
    const ECRString text = m_reader.Read(stop, limit, [this] { return ReadByte(); });
    return m_reader.Report(text);
}

std::string Win32SerialPort::Problem() const
{
    return m_openFailure == 0 ? std::string() : SystemError::Text(m_openFailure);
}
