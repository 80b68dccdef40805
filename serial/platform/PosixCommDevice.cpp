#include "serial/platform/PosixCommDevice.h"

#include "serial/platform/PreciseWait.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

struct RateSpeed {
    DWORD rate;
    speed_t speed;
};

// The standard rates termios knows by constant; Windows-only rates such as
// 14400 have no POSIX equivalent and are refused.
constexpr RateSpeed kRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},     {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},   {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200}, {38400, B38400},
#ifdef B57600
    {57600, B57600},
#endif
#ifdef B115200
    {115200, B115200},
#endif
#ifdef B230400
    {230400, B230400},
#endif
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

bool SpeedForRate(DWORD rate, speed_t& speed)
{
    for (const RateSpeed& entry : kRates) {
        if (entry.rate == rate) {
            speed = entry.speed;
            return true;
        }
    }
    return false;
}

DWORD RateForSpeed(speed_t speed)
{
    for (const RateSpeed& entry : kRates) {
        if (entry.speed == speed) {
            return entry.rate;
        }
    }
    return 0;
}

// Every byte must reach the reader as it was sent: no echo, no line editing,
// no signals, no CR/LF translation, and above all no software flow control,
// since the reader itself drops XON and XOFF.
void MakeRaw(termios& line)
{
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                           IXANY | INPCK);
#ifdef IUCLC
    line.c_iflag &= ~static_cast<tcflag_t>(IUCLC);
#endif
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag |= CLOCAL | CREAD;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
}

// Raises or drops modem lines. A pseudo-terminal has none and rejects the
// request, which must not make the line settings fail.
bool SetModemLines(int fd, int lines, bool on)
{
    if (::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &lines) == 0) {
        return true;
    }
    return errno == ENOTTY || errno == EINVAL;
}

int PollTimeout(std::chrono::milliseconds wait)
{
    return static_cast<int>(std::clamp<std::int64_t>(wait.count(), 0, INT_MAX));
}

// Lets go of a device that could not be set up, keeping errno: the reason
// the open failed, which the port reports (SystemError).
std::unique_ptr<PosixCommDevice> Abandon(std::unique_ptr<PosixCommDevice> device)
{
    const int reason = errno;
    device.reset();
    errno = reason;
    return nullptr;
}

}  // namespace

std::unique_ptr<PosixCommDevice> PosixCommDevice::Open(const std::string& path, bool read, bool write, bool exclusive)
{
    int access = O_RDONLY;
    if (read && write) {
        access = O_RDWR;
    } else if (write) {
        access = O_WRONLY;
    }
    // Non-blocking only for the open itself, so that a modem line without
    // carrier cannot hold it up.
    const int fd = ::open(path.c_str(), access | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    const bool terminal = ::isatty(fd) == 1;
    // Root ignores TIOCEXCL, so the lock is what keeps a second opener out.
    bool marked = false;
    if (exclusive) {
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            return Abandon(std::make_unique<PosixCommDevice>(fd, false));
        }
        marked = terminal && ::ioctl(fd, TIOCEXCL) == 0;
    }
    auto device = std::make_unique<PosixCommDevice>(fd, marked);

    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return Abandon(std::move(device));
    }
    if (terminal) {
        termios line{};
        if (::tcgetattr(fd, &line) != 0) {
            return Abandon(std::move(device));
        }
        MakeRaw(line);
        line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB);
        line.c_cflag |= CS8;
        if (::tcsetattr(fd, TCSANOW, &line) != 0) {
            return Abandon(std::move(device));
        }
    }
    return device;
}

PosixCommDevice::~PosixCommDevice()
{
    if (m_exclusiveMarked) {
        // The mark outlives this descriptor while others hold the terminal
        // (a pseudo-terminal's owner does), and would refuse the next open.
        ::ioctl(m_fd, TIOCNXCL);
    }
    ::close(m_fd);  // also releases the lock
}

bool PosixCommDevice::GetState(DCB& dcb) const
{
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0) {
        return false;
    }
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = RateForSpeed(::cfgetospeed(&line));
    switch (line.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
    }
    const bool odd = (line.c_cflag & PARODD) != 0;
    dcb.Parity = NOPARITY;
    if ((line.c_cflag & PARENB) != 0) {
        dcb.Parity = odd ? ODDPARITY : EVENPARITY;
#ifdef CMSPAR
        if ((line.c_cflag & CMSPAR) != 0) {
            dcb.Parity = odd ? MARKPARITY : SPACEPARITY;
        }
#endif
    }
    dcb.StopBits = (line.c_cflag & CSTOPB) != 0 ? TWOSTOPBITS : ONESTOPBIT;
#ifdef CRTSCTS
    dcb.fOutxCtsFlow = (line.c_cflag & CRTSCTS) != 0 ? 1 : 0;
#else
    dcb.fOutxCtsFlow = 0;
#endif
    int lines = 0;
    const bool known = ::ioctl(m_fd, TIOCMGET, &lines) == 0;
    dcb.fRtsControl = known && (lines & TIOCM_RTS) != 0 ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    dcb.fDtrControl = known && (lines & TIOCM_DTR) != 0 ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fOutxDsrFlow = 0;
    dcb.fDsrSensitivity = 0;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fAbortOnError = 0;
    return true;
}

bool PosixCommDevice::SetState(const DCB& dcb)
{
    // The line is raw; what would make it otherwise cannot be had here.
    if (dcb.fOutxDsrFlow != 0 || dcb.fDsrSensitivity != 0 || dcb.fOutX != 0 || dcb.fInX != 0 || dcb.fErrorChar != 0 ||
        dcb.fNull != 0 || dcb.fAbortOnError != 0) {
        return false;
    }
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0) {
        return false;
    }
    MakeRaw(line);

    speed_t speed{};
    if (!SpeedForRate(dcb.BaudRate, speed) || ::cfsetispeed(&line, speed) != 0 || ::cfsetospeed(&line, speed) != 0) {
        return false;
    }

    tcflag_t size = 0;
    switch (dcb.ByteSize) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    line.c_cflag = (line.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | size;

    tcflag_t parityBits = PARENB | PARODD;
#ifdef CMSPAR
    parityBits |= CMSPAR;
#endif
    line.c_cflag &= ~parityBits;
    switch (dcb.Parity) {
    case NOPARITY: break;
    case ODDPARITY: line.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: line.c_cflag |= PARENB; break;
#ifdef CMSPAR
    case MARKPARITY: line.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case SPACEPARITY: line.c_cflag |= PARENB | CMSPAR; break;
#endif
    default: return false;
    }

    switch (dcb.StopBits) {
    case ONESTOPBIT: line.c_cflag &= ~static_cast<tcflag_t>(CSTOPB); break;
    case ONE5STOPBITS:  // no such setting here; two is the nearest that still frames correctly
    case TWOSTOPBITS: line.c_cflag |= CSTOPB; break;
    default: return false;
    }

    // One flag here covers both directions of RTS/CTS handshaking.
    const bool hardwareFlow = dcb.fOutxCtsFlow != 0 || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
#ifdef CRTSCTS
    if (hardwareFlow) {
        line.c_cflag |= CRTSCTS;
    } else {
        line.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    }
#else
    if (hardwareFlow) {
        return false;
    }
#endif

    if (::tcsetattr(m_fd, TCSANOW, &line) != 0) {
        return false;
    }
    // tcsetattr succeeds when any part was taken; a driver that kept its old
    // speed has refused the rate.
    termios applied{};
    if (::tcgetattr(m_fd, &applied) != 0 || ::cfgetospeed(&applied) != speed) {
        return false;
    }

    // With handshaking the driver moves RTS itself; raising it first does no
    // harm. Toggle (RTS only while sending) has no equivalent: RTS stays up.
    const bool rts = dcb.fRtsControl != RTS_CONTROL_DISABLE;
    const bool dtr = dcb.fDtrControl != DTR_CONTROL_DISABLE;
    return SetModemLines(m_fd, TIOCM_RTS, rts) && SetModemLines(m_fd, TIOCM_DTR, dtr);
}

bool PosixCommDevice::Read(void* buffer, DWORD size, DWORD& bytesRead)
{
    using Clock = std::chrono::steady_clock;
    bytesRead = 0;
    auto* bytes = static_cast<unsigned char*>(buffer);

    const COMMTIMEOUTS& t = m_timeouts;
    const bool immediate =
        t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    const bool returnOnAny = t.ReadIntervalTimeout == MAXDWORD;
    const bool intervalLimit = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD;
    // Capped at the longest single constant, which keeps the deadline in range.
    const std::uint64_t total = std::min<std::uint64_t>(
        static_cast<std::uint64_t>(t.ReadTotalTimeoutMultiplier) * size + t.ReadTotalTimeoutConstant, MAXDWORD);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(total);

    while (bytesRead < size) {
        int wait = -1;  // no limit: wait for a byte
        bool untilDeadline = false;
        if (immediate) {
            wait = 0;
        } else {
            if (total != 0) {
                // Rounded up, so a nearly spent limit still waits rather than spinning.
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                if (left.count() <= 0) {
                    break;
                }
                wait = PollTimeout(left);
                untilDeadline = true;
            }
            if (intervalLimit && bytesRead > 0) {
                const int interval = PollTimeout(std::chrono::milliseconds(t.ReadIntervalTimeout));
                untilDeadline = untilDeadline && wait <= interval;
                wait = wait < 0 ? interval : std::min(wait, interval);
            }
        }

        pollfd request{m_fd, POLLIN, 0};
        // The total limit ends when it is due (the engine's 1 ms flush before
        // every request is one), not when the kernel gets round to waking us.
        const int ready = untilDeadline ? PreciseWait::Until(&request, 1, deadline) : ::poll(&request, 1, wait);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return bytesRead > 0;
        }
        if (ready == 0) {
            break;  // time-out
        }
        if ((request.revents & POLLIN) != 0) {
            const ssize_t n = ::read(m_fd, bytes + bytesRead, size - bytesRead);
            if (n > 0) {
                bytesRead += static_cast<DWORD>(n);
                if (returnOnAny) {
                    break;
                }
                continue;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
        }
        // Hung up (end of file, EIO, POLLHUP) or failed: nothing more will
        // come, so return now instead of waiting out the time-out.
        return bytesRead > 0;
    }
    return true;
}

bool PosixCommDevice::Write(const void* buffer, DWORD size, DWORD& bytesWritten)
{
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    bytesWritten = 0;
    while (bytesWritten < size) {
        const ssize_t n = ::write(m_fd, bytes + bytesWritten, size - bytesWritten);
        if (n > 0) {
            bytesWritten += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd request{m_fd, POLLOUT, 0};
            if (::poll(&request, 1, -1) < 0 && errno != EINTR) {
                return false;
            }
            if ((request.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (request.revents & POLLOUT) == 0) {
                return false;
            }
            continue;
        }
        return false;
    }
    return true;
}
