#include "ecr/files/InputFile.h"

#include "ecr/commands/Utf8Path.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int OpenForReading(const std::string& path)
{
    // The name is UTF-8; a narrow open would read it in the ANSI code page.
    return ::_wopen(Utf8Path(path).c_str(), _O_RDONLY | _O_BINARY);
}
long long ReadSome(int fd, char* buffer, std::size_t count)
{
    return ::_read(fd, buffer, static_cast<unsigned>(count > 0x40000000 ? 0x40000000 : count));
}
void CloseFile(int fd)
{
    ::_close(fd);
}
FileFault::Node NodeOf(unsigned mode)
{
    return (mode & _S_IFDIR) != 0 ? FileFault::Node::Directory : FileFault::Node::Device;
}
#else
int OpenForReading(const std::string& path)
{
    // Non-blocking, so that a FIFO without a writer cannot hold the open.
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
long long ReadSome(int fd, char* buffer, std::size_t count)
{
    return ::read(fd, buffer, count);
}
void CloseFile(int fd)
{
    ::close(fd);
}
FileFault::Node NodeOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return FileFault::Node::Directory;
    if (S_ISFIFO(mode))
        return FileFault::Node::Fifo;
    if (S_ISSOCK(mode))
        return FileFault::Node::Socket;
    return FileFault::Node::Device;
}
#endif

}  // namespace

InputFile::~InputFile()
{
    if (m_fd >= 0)
        CloseFile(m_fd);
}

bool InputFile::Open(const std::string& path, FileFault& fault)
{
    m_path = path;
    m_fd = OpenForReading(path);
    std::error_code ignored;
    if (m_fd < 0 && std::filesystem::is_directory(Utf8Path(path), ignored)) {
        // Windows opens no folder as a file: it is not a file all the same.
        fault = FileFault::OfFile(FileFault::Kind::NotAFile, path);
        fault.node = FileFault::Node::Directory;
        return false;
    }
    if (m_fd < 0) {
        // The design's message for a file that cannot be opened names no reason.
        fault = FileFault::OfFile(FileFault::Kind::CannotOpen, path);
        return false;
    }
    return CheckOpened(fault);
}

bool InputFile::OpenIn(const std::string& folder, const std::string& name, FileFault& fault)
{
    m_path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
#ifdef _WIN32
    // Windows has no open that refuses a link by itself: the name is looked at first.
    std::error_code ignored;
    if (std::filesystem::is_symlink(std::filesystem::symlink_status(Utf8Path(m_path), ignored))) {
        fault = FileFault::OfFile(FileFault::Kind::CannotOpen, m_path, ELOOP);
        return false;
    }
    return Open(m_path, fault);
#else
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        fault = FileFault::OfFile(FileFault::Kind::CannotOpen, folder, errno);
        return false;
    }
    m_fd = ::openat(dir, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
    const int why = errno;
    ::close(dir);
    if (m_fd < 0) {
        fault = FileFault::OfFile(FileFault::Kind::CannotOpen, m_path, why);
        return false;
    }
    return CheckOpened(fault);
#endif
}

bool InputFile::CheckOpened(FileFault& fault)
{
    struct stat status {};
    if (::fstat(m_fd, &status) != 0) {
        fault = FileFault::OfFile(FileFault::Kind::CannotOpen, m_path, errno);
        return false;
    }
    if ((status.st_mode & S_IFMT) != S_IFREG) {
        fault = FileFault::OfFile(FileFault::Kind::NotAFile, m_path);
        fault.node = NodeOf(status.st_mode);
        return false;
    }
    m_size = static_cast<std::uint64_t>(status.st_size);
    return true;
}

bool InputFile::ReadInto(char* buffer, std::size_t count, std::size_t& got, FileFault& fault)
{
    got = 0;
    while (got < count) {
        const long long n = ReadSome(m_fd, buffer + got, count - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            fault = FileFault::OfFile(FileFault::Kind::CannotRead, m_path, errno);
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool InputFile::CheckSize(std::uint64_t size, std::uint64_t maxBytes, FileFault& fault) const
{
    if (size <= maxBytes)
        return true;
    fault = FileFault::OfFile(FileFault::Kind::TooLarge, m_path);
    fault.limit = maxBytes;
    return false;
}
