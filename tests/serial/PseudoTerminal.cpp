#include "PseudoTerminal.h"

#include "serial/platform/ComPortMap.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    m_slavePath = name;
    // The two ends share one set of line settings. Start from a fully cooked
    // line, so that anything the port fails to switch off shows in the bytes.
    termios cooked{};
    ::tcgetattr(m_slave, &cooked);
    cooked.c_iflag |= ICRNL | IXON | IXOFF | IXANY;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ECHO | ICANON | ISIG | IEXTEN;
    cooked.c_cc[VMIN] = 1;
    ::tcsetattr(m_slave, TCSANOW, &cooked);
}

PseudoTerminal::~PseudoTerminal()
{
    for (int port : m_mappedPorts) {
        ::unsetenv(ComPortMap::VariableName(port).c_str());
    }
    HangUp();
    if (m_slave >= 0) {
        ::close(m_slave);
    }
}

void PseudoTerminal::MapAs(int portNumber)
{
    if (!ComPortMap::SetDevicePath(portNumber, m_slavePath)) {
        throw std::system_error(errno, std::generic_category(), "setenv");
    }
    m_mappedPorts.push_back(portNumber);
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

void PseudoTerminal::HangUp()
{
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}
