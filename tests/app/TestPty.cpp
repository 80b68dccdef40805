#include "app/TestPty.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

TestPty::TestPty()
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    m_slavePath = ptsname(m_master);
    // Raw, so that every byte arrives as written.
    const int slave = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY);
    termios mode{};
    tcgetattr(slave, &mode);
    cfmakeraw(&mode);
    tcsetattr(slave, TCSANOW, &mode);
    close(slave);
}

TestPty::~TestPty()
{
    if (m_master >= 0) {
        close(m_master);
    }
}

std::string TestPty::ReadAll(int timeoutMs)
{
    std::string bytes;
    for (;;) {
        pollfd ready{m_master, POLLIN, 0};
        if (poll(&ready, 1, timeoutMs) <= 0 || (ready.revents & POLLIN) == 0) {
            return bytes;
        }
        char chunk[512];
        const ssize_t n = read(m_master, chunk, sizeof chunk);
        if (n <= 0) {
            return bytes;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

bool TestPty::SlaveOpen() const
{
    // With no slave handle open anywhere the master reports a hang-up.
    pollfd state{m_master, 0, 0};
    poll(&state, 1, 0);
    return (state.revents & POLLHUP) == 0;
}
