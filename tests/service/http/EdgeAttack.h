#pragma once

#include "serial/platform/SocketApi.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

// The clients that used to starve ecrd, on loopback, for the tests and the
// benchmark: many connections that each drip a header byte at a time, and
// one that floods header fields. Each runs on its own thread until it is
// destroyed, connecting again whenever the server closes it.

class DripClients {
public:
    // `count` connections, each sending the next byte of an endless header every `every`.
    DripClients(int port, std::size_t count, std::chrono::milliseconds every);
    ~DripClients();
    DripClients(const DripClients&) = delete;
    DripClients& operator=(const DripClients&) = delete;

    // Connections made (after a close too), and those the server refused.
    std::uint64_t Connects() const { return m_connects; }
    std::uint64_t Refused() const { return m_refused; }

private:
    void Run(int port, std::chrono::milliseconds every);

    std::vector<SocketHandle> m_sockets;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_connects{0};
    std::atomic<std::uint64_t> m_refused{0};
    std::thread m_thread;
};

class HeaderFlood {
public:
    // Header fields of 40 bytes, as fast as they go, `total` bytes in all.
    HeaderFlood(int port, std::uint64_t total);
    ~HeaderFlood();
    HeaderFlood(const HeaderFlood&) = delete;
    HeaderFlood& operator=(const HeaderFlood&) = delete;

    std::uint64_t Sent() const { return m_sent; }
    // Waits for the whole total to be sent, at most `most`; false if it was not.
    bool Finish(std::chrono::milliseconds most);

private:
    void Run(int port, std::uint64_t total);

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_done{false};
    std::atomic<std::uint64_t> m_sent{0};
    std::thread m_thread;
};

// The process's resident memory, in bytes (0 where it cannot be read).
std::size_t ResidentBytes();
