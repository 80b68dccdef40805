#include "sim/SimPseudoTerminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstring>

namespace {
bool Fail(std::string* error, const std::string& what)
{
    if (error != nullptr) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}
}  // namespace

SimPseudoTerminal::~SimPseudoTerminal()
{
    if (!m_linkPath.empty()) {
        ::unlink(m_linkPath.c_str());
    }
}

bool SimPseudoTerminal::Open(const std::string& linkPath, std::string* error)
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    raw.c_cflag |= CREAD | CLOCAL;
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        return Fail(error, "openpty");
    }
    m_master.Reset(master);
    m_slave.Reset(slave);
    m_slavePath = name;
    // The serving loop must never block on a full line.
    const int flags = ::fcntl(master, F_GETFL);
    if (flags < 0 || ::fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return Fail(error, "fcntl");
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    if (!linkPath.empty()) {
        struct stat existing {};
        // Replace a stale link from an earlier run, never a real file.
        if (::lstat(linkPath.c_str(), &existing) == 0) {
            if (!S_ISLNK(existing.st_mode)) {
                errno = EEXIST;
                return Fail(error, "link " + linkPath);
            }
            ::unlink(linkPath.c_str());
        }
        if (::symlink(m_slavePath.c_str(), linkPath.c_str()) != 0) {
            return Fail(error, "link " + linkPath);
        }
        m_linkPath = linkPath;
    }
    return true;
}
