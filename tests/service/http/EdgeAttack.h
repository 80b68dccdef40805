#pragma once

#include "serial/platform/SocketApi.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

// The clients that used to starve ecrd, on loopback, each on its own thread
// until destroyed: many connections that drip a header byte at a time, and
// one that floods header fields.

class DripClients {
public:
    // `count` connections, each sending the next byte of an endless header
    // every `every` (a connection the server closes stays closed).
    DripClients(int port, std::size_t count, std::chrono::milliseconds every);
    ~DripClients();

private:
    std::vector<SocketHandle> m_sockets;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

class HeaderFlood {
public:
    // Header fields of 40 bytes, as fast as they go, `total` bytes in all,
    // on a new connection whenever the server closes one.
    HeaderFlood(int port, std::uint64_t total);
    ~HeaderFlood();

    std::uint64_t Sent() const { return m_sent; }
    // Waits for the whole total to be sent, at most `most`; false if it was not.
    bool Finish(std::chrono::milliseconds most);

private:
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_sent{0};
    std::uint64_t m_total;
    std::thread m_thread;
};

// The process's resident memory, in bytes (0 where it cannot be read).
std::size_t ResidentBytes();
