#include "ecr/commands/AppendTarget.h"

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
    // Windows has no FIFO in its file system; the writer's open says the rest.
    (void)path;
    (void)error;
    return true;
#else
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !(S_ISFIFO(info.st_mode) || S_ISBLK(info.st_mode))) {
        // Missing, a file, a device, a folder: the writer's open makes it or says why not.
        return true;
    }
    if (S_ISBLK(info.st_mode)) {
        error = path + " is a block device (a disk), not a file";
        return false;
    }
    // Opening for writing without waiting fails when no program reads.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    error = errno == ENXIO ? path + " is a FIFO (named pipe) that no program reads: writing to it would wait for ever"
                           : "cannot open " + path + ": " + std::strerror(errno);
    return false;
#endif
}
