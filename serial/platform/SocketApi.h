#pragma once

// The few socket functions the network transports and the simulated
// register's listener need, the same on POSIX and on Windows (Winsock), so
// that the code above them is written once.
#ifdef _WIN32
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  // WSAPoll
#endif
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketHandle = SOCKET;
#else
#include <poll.h>
using SocketHandle = int;
#endif

#include <cstddef>
#include <string>
#include <vector>

class SocketApi {
public:
    static const SocketHandle kInvalid;

    // Every call below may be made only after this (Winsock's start-up;
    // nothing elsewhere). Safe to call often.
    static bool Start();
    static void Close(SocketHandle socket);
    // The error of the last failed call, and its text for people.
    static int LastError();
    static std::string ErrorText(int error);

    // Connects to host:port, by name or address (IPv4 or IPv6), trying each
    // address the name resolves to, within timeoutMs in all. The socket is
    // left blocking, with Nagle's delay off. kInvalid with why ("cannot
    // resolve kasa.lan: Name or service not known", "connection refused")
    // when none answers, and then the error (0 when the name did not
    // resolve) in failure if given.
    static SocketHandle Connect(const std::string& host, int port, int timeoutMs, std::string& why,
                                int* failure = nullptr);
    // The addresses a name resolves to, as text; empty with why when none.
    static std::vector<std::string> Resolve(const std::string& host, int port, std::string& why);
    // A listening socket on host:port (port 0: any free one, given back in
    // boundPort). kInvalid with why.
    static SocketHandle Listen(const std::string& host, int port, int& boundPort, std::string& why);
    // The next connection waiting on a listener, with Nagle's delay off; kInvalid when none.
    static SocketHandle Accept(SocketHandle listener);
    // Two connected sockets (a loopback pair): writing a byte to one wakes a
    // poll on the other. False when they cannot be made.
    static bool Pair(SocketHandle& reader, SocketHandle& writer);

    // poll() on sockets; a negative timeout waits without end.
    static int Poll(pollfd* fds, std::size_t count, int timeoutMs);
    // Sends some of the bytes (never raising SIGPIPE); the count sent, or -1.
    static long Send(SocketHandle socket, const char* data, std::size_t count);
    // Receives at most count bytes; 0 when the peer closed, -1 on failure.
    static long Receive(SocketHandle socket, char* data, std::size_t count);
    static bool SetNonBlocking(SocketHandle socket, bool on);
    // The last call failed only because it would have waited (non-blocking).
    static bool WouldBlock(int error);
    // The last call failed because the peer reset or aborted the connection
    // (or, sending, had closed it).
    static bool ConnectionReset(int error);
};
