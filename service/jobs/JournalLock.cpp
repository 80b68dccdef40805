#include "service/jobs/JournalLock.h"

#include <string>

#ifdef _WIN32
#include "serial/platform/WindowsHeader.h"
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// The holder's id as its text reads, or "?" when it holds none.
std::string HolderOf(const std::string& text)
{
    std::string id;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        id += c;
    }
    return id.empty() ? "?" : id;
}

}  // namespace

#ifdef _WIN32

JournalLock::~JournalLock()
{
    if (m_handle != nullptr)
        CloseHandle(static_cast<HANDLE>(m_handle));
}

bool JournalLock::Acquire(const std::string& path, std::string& error)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot open " + path + " (Windows error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // The lock covers a byte past the process id, which others may then read.
    OVERLAPPED at{};
    at.Offset = 0x40000000;
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        char text[32] = {};
        DWORD read = 0;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
        error = "the journal is in use by ecrd (process " + HolderOf(text) + "), as " + path + " says";
        return false;
    }
    const std::string id = std::to_string(GetCurrentProcessId()) + "\n";
    DWORD written = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    WriteFile(file, id.data(), static_cast<DWORD>(id.size()), &written, nullptr);
    m_handle = file;
    return true;
}

#else

JournalLock::~JournalLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool JournalLock::Acquire(const std::string& path, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int why = errno;
        char text[32] = {};
        const ssize_t read = ::pread(fd, text, sizeof text - 1, 0);
        ::close(fd);
        if (why != EWOULDBLOCK) {
            error = "cannot lock " + path + ": " + std::strerror(why);
            return false;
        }
        error = "the journal is in use by ecrd (process " + HolderOf(read > 0 ? text : "") + "), as " + path + " says";
        return false;
    }
    const std::string id = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, id.data(), id.size(), 0) != static_cast<ssize_t>(id.size())) {
        // The lock holds without the id; a second ecrd then names none.
    }
    m_fd = fd;
    return true;
}

#endif
