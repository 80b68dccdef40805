#include "ecr/files/SafeFileWrite.h"

#include "ecr/commands/Utf8Path.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <climits>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

FileFault OpenProblem(const std::string& path, int systemError)
{
    return FileFault::OfFile(FileFault::Kind::CannotOpen, path, systemError);
}

FileFault WriteProblem(const std::string& path, int systemError)
{
    return FileFault::OfFile(FileFault::Kind::CannotWrite, path, systemError);
}

std::string Folder(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// The temporary file's name: ".thermal-", sixteen hex digits, ".tmp".
constexpr std::string_view kTemporaryStart = ".thermal-";
constexpr std::string_view kTemporaryEnd = ".tmp";
constexpr std::size_t kTagDigits = 16;

// Sixteen hex digits nobody can guess, for the temporary file's name.
std::string RandomTag()
{
    std::random_device device;
    const std::uint64_t value = (static_cast<std::uint64_t>(device()) << 32) ^ device();
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

#ifdef _WIN32
using FileMode = int;
constexpr int kWriteFlags = _O_WRONLY | _O_BINARY;
int OpenExclusive(const std::string& path, FileMode)
{
    // Names are UTF-8: the wide calls, never the ANSI code page's.
    return ::_wopen(Utf8Path(path).c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_EXCL, _S_IREAD | _S_IWRITE);
}
long long WriteSome(int fd, const char* data, std::size_t count)
{
    return ::_write(fd, data, static_cast<unsigned>(count > 0x40000000 ? 0x40000000 : count));
}
int SyncFile(int fd)
{
    return ::_commit(fd);
}
int CloseFile(int fd)
{
    return ::_close(fd);
}
int RenameOver(const std::string& from, const std::string& to)
{
    // Write-through: it returns once the rename is on the disk.
    if (::MoveFileExW(Utf8Path(from).c_str(), Utf8Path(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    errno = EACCES;
    return -1;
}
// The write-through rename needs no folder sync after it.
int SyncFolder(const std::string&)
{
    return 0;
}
void RemoveFile(const std::string& path)
{
    ::_wunlink(Utf8Path(path).c_str());
}
#else
using FileMode = mode_t;
int OpenExclusive(const std::string& path, FileMode mode)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
}
long long WriteSome(int fd, const char* data, std::size_t count)
{
    return ::write(fd, data, count);
}
int SyncFile(int fd)
{
    return ::fsync(fd);
}
int CloseFile(int fd)
{
    return ::close(fd);
}
int RenameOver(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str());
}
// Makes the rename itself durable; file systems that cannot sync a folder say EINVAL.
int SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    const int synced = ::fsync(fd) == 0 || errno == EINVAL ? 0 : -1;
    const int syncError = errno;
    ::close(fd);
    errno = syncError;
    return synced;
}
void RemoveFile(const std::string& path)
{
    ::unlink(path.c_str());
}

// A run killed in the middle of a write (kill -9, a power cut) leaves its
// temporary file behind. One an hour old is dead: no write of ours takes
// that long from its last byte to its rename (the largest file, a list of
// 15,000 articles, is under a megabyte), and the hour also covers a file
// server's clock that is some minutes off this one.
constexpr std::time_t kStaleTemporarySeconds = 60 * 60;

bool IsTemporaryName(std::string_view name)
{
    if (name.size() != kTemporaryStart.size() + kTagDigits + kTemporaryEnd.size() ||
        name.substr(0, kTemporaryStart.size()) != kTemporaryStart ||
        name.substr(name.size() - kTemporaryEnd.size()) != kTemporaryEnd)
        return false;
    const std::string_view tag = name.substr(kTemporaryStart.size(), kTagDigits);
    return tag.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Removes the dead temporary files of this user's earlier runs in the
// folder: named as RandomTag names them, a regular file with no other link,
// owned by this (effective) user, unchanged for an hour. Anything else is
// left alone, however it is named; a folder that cannot be read is no
// reason to fail the write.
void RemoveDeadTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name))
            continue;
        struct stat info {};
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
            info.st_nlink != 1 || info.st_uid != ::geteuid() || now - info.st_mtime < kStaleTemporarySeconds)
            continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}
#endif

// The steps in use: the real ones unless a test installed its own.
SafeFileWrite::Calls*& Installed()
{
    static SafeFileWrite::Calls* installed = nullptr;
    return installed;
}

SafeFileWrite::Calls& System()
{
    static SafeFileWrite::Calls real;
    SafeFileWrite::Calls* installed = Installed();
    return installed != nullptr ? *installed : real;
}

// Writes every byte; false with errno set.
bool WriteAll(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long long n = System().Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Where and how the bytes go.
struct Target {
    std::string path;          // the file to replace or the device to write, symlinks followed
    bool direct = false;       // a character device or FIFO: written in place
    bool exists = false;       // a regular file is there now
    struct stat status {};     // of the existing file
};

bool Resolve(const std::string& path, Target& target, FileFault& fault)
{
    target = Target{};
    target.path = path;
    if (path.empty()) {
        fault = FileFault::OfFile(FileFault::Kind::NoFileName, path);
        return false;
    }
#ifndef _WIN32
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        if (errno == ENOENT)
            return true;
        fault = OpenProblem(path, errno);
        return false;
    }
    if (S_ISLNK(link.st_mode)) {
        if (::stat(path.c_str(), &target.status) != 0) {
            fault = errno == ENOENT ? FileFault::OfFile(FileFault::Kind::DanglingLink, path) : OpenProblem(path, errno);
            return false;
        }
        if (S_ISREG(target.status.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved) == nullptr) {
                fault = OpenProblem(path, errno);
                return false;
            }
            target.path = resolved;
        }
    } else {
        target.status = link;
    }
    const mode_t mode = target.status.st_mode;
    if (S_ISREG(mode)) {
        target.exists = true;
        return true;
    }
    if (S_ISCHR(mode) || S_ISFIFO(mode)) {
        target.direct = true;
        return true;
    }
    fault = FileFault::OfFile(FileFault::Kind::NotReplaceable, path);
    fault.node = S_ISDIR(mode) ? FileFault::Node::Directory
                 : S_ISBLK(mode) ? FileFault::Node::BlockDevice
                                 : FileFault::Node::Socket;
    return false;
#else
    struct _stat64 status {};
    if (::_wstat64(Utf8Path(path).c_str(), &status) != 0)
        return true;
    target.status.st_mode = status.st_mode;
    if ((status.st_mode & S_IFMT) == S_IFREG) {
        target.exists = true;
        return true;
    }
    if ((status.st_mode & S_IFMT) == S_IFCHR) {
        target.direct = true;
        return true;
    }
    fault = FileFault::OfFile(FileFault::Kind::NotReplaceable, path);
    return false;
#endif
}

bool WriteDirect(const Target& target, std::string_view bytes, FileFault& fault)
{
#ifdef _WIN32
    const int fd = ::_wopen(Utf8Path(target.path).c_str(), kWriteFlags);
#else
    const int fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
#endif
    if (fd < 0) {
        fault = OpenProblem(target.path, errno);
        return false;
    }
    struct stat opened {};
    // Whatever took the device's place since it was looked at is not written into.
    if (::fstat(fd, &opened) != 0 || (opened.st_mode & S_IFMT) != (target.status.st_mode & S_IFMT)) {
        System().Close(fd);
        fault = FileFault::OfFile(FileFault::Kind::ChangedWhileOpen, target.path);
        return false;
    }
    // Devices and pipes cannot be synced; their own refusal shows in write or close.
    const bool written = WriteAll(fd, bytes);
    const int writeError = errno;
    const bool closed = System().Close(fd) == 0;
    if (!written || !closed) {
        fault = WriteProblem(target.path, written ? errno : writeError);
        return false;
    }
    return true;
}

bool Replace(const Target& target, std::string_view bytes, FileFault& fault)
{
    const std::string folder = Folder(target.path);
#ifndef _WIN32
    RemoveDeadTemporaries(folder);
#endif
    std::string temporary;
    int fd = -1;
    // A new file gets the usual permissions (0666 less the umask); an existing
    // file's are set below, after the owner, and until then nobody else may read.
    const FileMode mode = target.exists ? 0600 : 0666;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/" + std::string(kTemporaryStart) + RandomTag() + std::string(kTemporaryEnd);
        fd = OpenExclusive(temporary, mode);
        if (fd < 0 && errno != EEXIST) {
            fault = OpenProblem(target.path, errno);
            return false;
        }
    }
    if (fd < 0) {
        fault = OpenProblem(target.path, EEXIST);
        return false;
    }

    SafeFileWrite::Calls& calls = System();
    const auto fail = [&](int problem) {
        calls.Close(fd);
        RemoveFile(temporary);
        fault = WriteProblem(target.path, problem);
        return false;
    };
#ifndef _WIN32
    if (target.exists) {
        // The owner first: changing it clears the set-id bits that fchmod then restores.
        if ((target.status.st_uid != ::geteuid() || target.status.st_gid != ::getegid()) &&
            ::fchown(fd, target.status.st_uid, target.status.st_gid) != 0 && errno != EPERM)
            return fail(errno);
        if (::fchmod(fd, target.status.st_mode & 07777) != 0)
            return fail(errno);
    }
#endif
    if (!WriteAll(fd, bytes) || calls.Sync(fd) != 0)
        return fail(errno);
    if (calls.Close(fd) != 0) {
        const int problem = errno;
        RemoveFile(temporary);
        fault = WriteProblem(target.path, problem);
        return false;
    }
    if (calls.Rename(temporary, target.path) != 0) {
        const int problem = errno;
        RemoveFile(temporary);
        fault = WriteProblem(target.path, problem);
        return false;
    }
    // Too late to keep the earlier file, but not to say that the new one may
    // not outlive a power cut: a caller that saves a dump or a setup wants to know.
    if (calls.SyncFolder(folder) != 0) {
        fault = FileFault::OfFile(FileFault::Kind::FolderNotSynced, target.path, errno);
        return false;
    }
    return true;
}

}  // namespace

bool SafeFileWrite::Write(const std::string& path, std::string_view bytes, FileFault& fault)
{
    Target target;
    if (!Resolve(path, target, fault))
        return false;
    return target.direct ? WriteDirect(target, bytes, fault) : Replace(target, bytes, fault);
}

bool SafeFileWrite::CheckTarget(const std::string& path, FileFault& fault)
{
    Target target;
    if (!Resolve(path, target, fault))
        return false;
    if (target.direct)
        return true;
    const std::string folder = Folder(target.path);
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        fault = OpenProblem(path, errno);
        return false;
    }
    if ((status.st_mode & S_IFMT) != S_IFDIR) {
        fault = OpenProblem(path, ENOTDIR);
        return false;
    }
#ifndef _WIN32
    // As the effective user, who is the one to create the file.
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        fault = OpenProblem(path, errno);
        return false;
    }
#endif
    return true;
}

long long SafeFileWrite::Calls::Write(int fd, const char* data, std::size_t count)
{
    return WriteSome(fd, data, count);
}

int SafeFileWrite::Calls::Sync(int fd)
{
    return SyncFile(fd);
}

int SafeFileWrite::Calls::Close(int fd)
{
    return CloseFile(fd);
}

int SafeFileWrite::Calls::Rename(const std::string& from, const std::string& to)
{
    return RenameOver(from, to);
}

int SafeFileWrite::Calls::SyncFolder(const std::string& folder)
{
    return ::SyncFolder(folder);
}

SafeFileWrite::Calls* SafeFileWrite::UseCalls(Calls* calls)
{
    Calls* previous = Installed();
    Installed() = calls;
    return previous;
}
