#include "serial/platform/SystemError.h"

#ifdef _WIN32
#include "serial/platform/WindowsHeader.h"

void SystemError::Reset()
{
    SetLastError(0);
}

int SystemError::Last()
{
    return static_cast<int>(GetLastError());
}

std::string SystemError::Text(int code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "no such device";
    // Windows opens a COM port for one program at a time and says so this way.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: return "in use by another program, or permission denied";
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED: return "not a serial line";
    default: break;
    }
    char text[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    std::string words(text, length);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == '.' || words.back() == ' '))
        words.pop_back();
    return words.empty() ? "system error " + std::to_string(code) : words;
}

#else
#include <cerrno>
#include <cstring>

void SystemError::Reset()
{
    errno = 0;
}

int SystemError::Last()
{
    return errno;
}

std::string SystemError::Text(int code)
{
    switch (code) {
    case ENOENT:
    case ENODEV:
    case ENXIO:  // a serial port the kernel lists with no UART behind it
        return "no such device";
    case EACCES:
    case EPERM: return "permission denied";
    case EBUSY:
    case EWOULDBLOCK:  // the lock another program holds
        return "in use by another program";
    case ENOTTY: return "not a serial line";
    default: return std::strerror(code);
    }
}
#endif
