#include "ecr/commands/AppendTarget.h"

#include "ecr/commands/Utf8Path.h"

#include <filesystem>

#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

bool AppendTarget::Check(const std::string& path, std::string& error)
{
#ifdef _WIN32
    // Windows has no FIFO in its file system; a folder is the one mistake.
    std::error_code failure;
    if (std::filesystem::is_directory(Utf8Path(path), failure)) {
        error = path + " is a folder, not a file";
        return false;
    }
    return true;
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        // Missing: the writer makes it (and says so when it cannot).
        return true;
    }
    if (S_ISREG(info.st_mode) || S_ISCHR(info.st_mode)) {
        return true;
    }
    if (S_ISFIFO(info.st_mode)) {
        // Opening for writing without waiting fails when no program reads.
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0) {
            ::close(fd);
            return true;
        }
        error = errno == ENXIO
                    ? path + " is a FIFO (named pipe) that no program reads: writing to it would wait for ever"
                    : "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    error = path + (S_ISDIR(info.st_mode)   ? " is a folder, not a file"
                    : S_ISBLK(info.st_mode) ? " is a block device, not a file"
                                            : " is a socket, not a file");
    return false;
#endif
}
