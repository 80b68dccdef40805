#include "support/PseudoTerminal.h"


#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <utility>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal(Use use)
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    m_slavePath = name;
    // The two ends share one set of line settings.
    termios mode{};
    ::tcgetattr(m_slave, &mode);
    if (use == Use::Program) {
        // Raw, so that every byte arrives as written.
        ::cfmakeraw(&mode);
        ::tcsetattr(m_slave, TCSANOW, &mode);
        ::close(m_slave);
        m_slave = -1;
        return;
    }
    mode.c_iflag |= ICRNL | IXON | IXOFF | IXANY;
    mode.c_oflag |= OPOST | ONLCR;
    mode.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
    mode.c_cc[VMIN] = 1;
    ::tcsetattr(m_slave, TCSANOW, &mode);
}

PseudoTerminal::~PseudoTerminal()
{
    HangUp();
    if (m_slave >= 0) {
        ::close(m_slave);
    }
}

std::string PseudoTerminal::MapAs(int /*portNumber*/)
{
    // Ports open devices by path here: nothing to map.
    return m_slavePath;
}

void PseudoTerminal::Send(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw std::system_error(errno, std::generic_category(), "write to the master");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string PseudoTerminal::Receive(std::size_t count, int quietMs)
{
    std::string received;
    char chunk[4096];
    while (received.size() < count) {
        pollfd request{m_master, POLLIN, 0};
        if (::poll(&request, 1, quietMs) <= 0 || (request.revents & POLLIN) == 0) {
            break;
        }
        const std::size_t wanted = std::min(sizeof chunk, count - received.size());
        const ssize_t n = ::read(m_master, chunk, wanted);
        if (n <= 0) {
            break;
        }
        received.append(chunk, static_cast<std::size_t>(n));
    }
    return received;
}

std::string PseudoTerminal::ReadAll(int quietMs)
{
    return Receive(std::numeric_limits<std::size_t>::max(), quietMs);
}

bool PseudoTerminal::SlaveOpen() const
{
    // With no slave handle open anywhere the master reports a hang-up.
    pollfd state{m_master, 0, 0};
    ::poll(&state, 1, 0);
    return (state.revents & POLLHUP) == 0;
}

PseudoTerminal::LineSettings PseudoTerminal::Line() const
{
    termios mode{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &mode) != 0) {
        throw std::system_error(errno, std::generic_category(), "tcgetattr");
    }
    LineSettings line;
    const std::pair<speed_t, int> rates[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},  {B9600, 9600},
                                             {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    for (const auto& [speed, baud] : rates) {
        if (::cfgetospeed(&mode) == speed && ::cfgetispeed(&mode) == speed) {
            line.baud = baud;
        }
    }
    line.twoStopBits = (mode.c_cflag & CSTOPB) != 0;
    line.hardwareFlow = (mode.c_cflag & CRTSCTS) != 0;

    const auto note = [&line](bool cooked, const char* name) {
        if (cooked) {
            line.cooked += (line.cooked.empty() ? "" : " ") + std::string(name);
        }
    };
    const std::pair<tcflag_t, const char*> localFlags[] = {
        {ECHO, "ECHO"}, {ICANON, "ICANON"}, {ISIG, "ISIG"}, {IEXTEN, "IEXTEN"}};
    for (const auto& [flag, name] : localFlags) {
        note((mode.c_lflag & flag) != 0, name);
    }
    const std::pair<tcflag_t, const char*> inputFlags[] = {{IXON, "IXON"},   {IXOFF, "IXOFF"}, {ICRNL, "ICRNL"},
                                                           {INLCR, "INLCR"}, {IGNCR, "IGNCR"}, {ISTRIP, "ISTRIP"}};
    for (const auto& [flag, name] : inputFlags) {
        note((mode.c_iflag & flag) != 0, name);
    }
    // Any byte restarting output means nothing without XON/XOFF on output
    // (Wine leaves it set).
    note((mode.c_iflag & IXON) != 0 && (mode.c_iflag & IXANY) != 0, "IXANY");
    note((mode.c_oflag & OPOST) != 0, "OPOST");
    note((mode.c_cflag & CLOCAL) == 0, "-CLOCAL");
    note((mode.c_cflag & CREAD) == 0, "-CREAD");
    // A read must not wait for a count of bytes or between them by itself.
    note(mode.c_cc[VMIN] != 0, "VMIN");
    note(mode.c_cc[VTIME] != 0, "VTIME");
    return line;
}

void PseudoTerminal::HangUp()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}
