#include "serial/platform/SocketApi.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#ifndef _WIN32
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using SocketLength = int;
constexpr int kInProgress = WSAEWOULDBLOCK;
#else
using SocketLength = socklen_t;
constexpr int kInProgress = EINPROGRESS;
#endif

void NoDelay(SocketHandle socket)
{
    // Requests and answers are small and go one at a time: no batching delay.
    int on = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

std::int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Connects one address within the time left; the socket (blocking again) or kInvalid with the error.
SocketHandle ConnectOne(const addrinfo& address, std::int64_t deadlineMs, int& error)
{
    const SocketHandle socket = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (socket == SocketApi::kInvalid) {
        error = SocketApi::LastError();
        return SocketApi::kInvalid;
    }
    SocketApi::SetNonBlocking(socket, true);
    if (::connect(socket, address.ai_addr, static_cast<SocketLength>(address.ai_addrlen)) != 0) {
        error = SocketApi::LastError();
        if (error != kInProgress) {
            SocketApi::Close(socket);
            return SocketApi::kInvalid;
        }
        pollfd wait{socket, POLLOUT, 0};
        const std::int64_t left = deadlineMs - NowMs();
        const int ready = left > 0 ? SocketApi::Poll(&wait, 1, static_cast<int>(left)) : 0;
        int result = 0;
        SocketLength length = sizeof result;
        if (ready <= 0) {
            error = ready == 0 ? ETIMEDOUT : SocketApi::LastError();
        } else if (getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result), &length) != 0) {
            error = SocketApi::LastError();
        } else {
            error = result;
        }
        if (error != 0) {
            SocketApi::Close(socket);
            return SocketApi::kInvalid;
        }
    }
    SocketApi::SetNonBlocking(socket, false);
    NoDelay(socket);
    error = 0;
    return socket;
}

// The addresses of HOST:PORT for a stream socket, to be freed with
// freeaddrinfo; null with why set when the network or the name fails.
addrinfo* Lookup(const std::string& host, int port, std::string& why)
{
    if (!SocketApi::Start()) {
        why = "the network is not available";
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) {
        why = "cannot resolve " + host + ": " + gai_strerror(resolved);
        return nullptr;
    }
    return found;
}

}  // namespace

#ifdef _WIN32
const SocketHandle SocketApi::kInvalid = INVALID_SOCKET;

bool SocketApi::Start()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

void SocketApi::Close(SocketHandle socket)
{
    if (socket != kInvalid) {
        closesocket(socket);
    }
}

int SocketApi::LastError()
{
    return WSAGetLastError();
}

std::string SocketApi::ErrorText(int error)
{
    switch (error) {
    case ETIMEDOUT:
    case WSAETIMEDOUT:
        return "no answer in time";
    case WSAECONNREFUSED:
        return "connection refused";
    case WSAECONNRESET:
        return "connection reset by the server";
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
        return "no route to the host";
    case WSAEADDRINUSE:
        return "address already in use";
    default:
        return "socket error " + std::to_string(error);
    }
}

int SocketApi::Poll(pollfd* fds, std::size_t count, int timeoutMs)
{
    return WSAPoll(fds, static_cast<ULONG>(count), timeoutMs);
}

long SocketApi::Send(SocketHandle socket, const char* data, std::size_t count)
{
    return ::send(socket, data, static_cast<int>(count > 0x40000000 ? 0x40000000 : count), 0);
}

long SocketApi::Receive(SocketHandle socket, char* data, std::size_t count)
{
    return ::recv(socket, data, static_cast<int>(count > 0x40000000 ? 0x40000000 : count), 0);
}

bool SocketApi::SetNonBlocking(SocketHandle socket, bool on)
{
    u_long mode = on ? 1 : 0;
    return ioctlsocket(socket, FIONBIO, &mode) == 0;
}

bool SocketApi::WouldBlock(int error)
{
    return error == WSAEWOULDBLOCK;
}

bool SocketApi::ConnectionReset(int error)
{
    return error == WSAECONNRESET || error == WSAECONNABORTED;
}
#else
const SocketHandle SocketApi::kInvalid = -1;

bool SocketApi::Start()
{
    return true;
}

void SocketApi::Close(SocketHandle socket)
{
    if (socket != kInvalid) {
        ::close(socket);
    }
}

int SocketApi::LastError()
{
    return errno;
}

std::string SocketApi::ErrorText(int error)
{
    if (error == ETIMEDOUT) {
        return "no answer in time";
    }
    return std::strerror(error);
}

int SocketApi::Poll(pollfd* fds, std::size_t count, int timeoutMs)
{
    for (;;) {
        const int ready = ::poll(fds, count, timeoutMs);
        if (ready >= 0 || errno != EINTR) {
            return ready;
        }
    }
}

long SocketApi::Send(SocketHandle socket, const char* data, std::size_t count)
{
    for (;;) {
        const ssize_t sent = ::send(socket, data, count, MSG_NOSIGNAL);
        if (sent >= 0 || errno != EINTR) {
            return static_cast<long>(sent);
        }
    }
}

long SocketApi::Receive(SocketHandle socket, char* data, std::size_t count)
{
    for (;;) {
        const ssize_t received = ::recv(socket, data, count, 0);
        if (received >= 0 || errno != EINTR) {
#ifdef TCP_QUICKACK
            // A reply that comes in pieces: acknowledge each at once, so that
            // a server that holds its next piece until the last is
            // acknowledged (Nagle) does not wait for a delayed ACK. Linux
            // turns quick ACKs off again by itself, so it is asked each time.
            const int on = 1;
            setsockopt(socket, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#endif
            return static_cast<long>(received);
        }
    }
}

bool SocketApi::SetNonBlocking(SocketHandle socket, bool on)
{
    const int flags = ::fcntl(socket, F_GETFL);
    return flags >= 0 && ::fcntl(socket, F_SETFL, on ? flags | O_NONBLOCK : flags & ~O_NONBLOCK) == 0;
}

bool SocketApi::WouldBlock(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK;
}

bool SocketApi::ConnectionReset(int error)
{
    return error == ECONNRESET || error == ECONNABORTED || error == EPIPE;
}
#endif

SocketHandle SocketApi::Connect(const std::string& host, int port, int timeoutMs, std::string& why, int* failure)
{
    addrinfo* found = Lookup(host, port, why);
    if (found == nullptr) {
        return kInvalid;
    }
    const std::int64_t deadlineMs = NowMs() + timeoutMs;
    int error = 0;
    SocketHandle socket = kInvalid;
    for (const addrinfo* address = found; address != nullptr && socket == kInvalid; address = address->ai_next) {
        socket = ConnectOne(*address, deadlineMs, error);
    }
    freeaddrinfo(found);
    if (socket == kInvalid) {
        why = ErrorText(error);
        if (failure != nullptr) {
            *failure = error;
        }
    }
    return socket;
}

std::vector<std::string> SocketApi::Resolve(const std::string& host, int port, std::string& why)
{
    std::vector<std::string> addresses;
    addrinfo* found = Lookup(host, port, why);
    if (found == nullptr) {
        return addresses;
    }
    for (const addrinfo* address = found; address != nullptr; address = address->ai_next) {
        char text[64] = {};
        if (getnameinfo(address->ai_addr, static_cast<SocketLength>(address->ai_addrlen), text, sizeof text, nullptr,
                        0, NI_NUMERICHOST) == 0) {
            addresses.emplace_back(text);
        }
    }
    freeaddrinfo(found);
    return addresses;
}

SocketHandle SocketApi::Listen(const std::string& host, int port, int& boundPort, std::string& why)
{
    if (!Start()) {
        why = "the network is not available";
        return kInvalid;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    const int resolved = getaddrinfo(host.empty() ? nullptr : host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (resolved != 0) {
        why = "cannot resolve " + host + ": " + gai_strerror(resolved);
        return kInvalid;
    }
    const SocketHandle listener = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    int error = 0;
    if (listener == kInvalid) {
        error = LastError();
    } else {
        int on = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&on), sizeof on);
        if (::bind(listener, found->ai_addr, static_cast<SocketLength>(found->ai_addrlen)) != 0 ||
            ::listen(listener, 4) != 0) {
            error = LastError();
        }
    }
    freeaddrinfo(found);
    if (error != 0) {
        Close(listener);
        why = ErrorText(error);
        return kInvalid;
    }
    sockaddr_storage bound{};
    SocketLength length = sizeof bound;
    getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length);
    boundPort = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port)
                                            : ntohs(reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
    return listener;
}

SocketHandle SocketApi::Accept(SocketHandle listener)
{
    const SocketHandle socket = ::accept(listener, nullptr, nullptr);
    if (socket != kInvalid) {
        NoDelay(socket);
    }
    return socket;
}

bool SocketApi::Pair(SocketHandle& reader, SocketHandle& writer)
{
    int port = 0;
    std::string why;
    const SocketHandle listener = Listen("127.0.0.1", 0, port, why);
    if (listener == kInvalid) {
        return false;
    }
    writer = Connect("127.0.0.1", port, 2000, why);
    reader = writer == kInvalid ? kInvalid : Accept(listener);
    Close(listener);
    if (reader == kInvalid) {
        Close(writer);
        return false;
    }
    return true;
}
