#include "EdgeAttack.h"

#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// A request line and a header that never ends, to drip byte by byte.
const std::string kDrip = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Drip: " + std::string(1 << 20, 'd');

bool SendAll(SocketHandle socket, const char* data, std::size_t count)
{
    while (count > 0) {
        const long sent = SocketApi::Send(socket, data, count);
        if (sent <= 0)
            return false;
        data += sent;
        count -= static_cast<std::size_t>(sent);
    }
    return true;
}

}  // namespace

DripClients::DripClients(int port, std::size_t count, std::chrono::milliseconds every)
    : m_sockets(count, SocketApi::kInvalid)
{
    SocketApi::Start();
    m_thread = std::thread([this, port, every] { Run(port, every); });
}

DripClients::~DripClients()
{
    m_stop = true;
    m_thread.join();
    for (SocketHandle socket : m_sockets)
        SocketApi::Close(socket);
}

void DripClients::Run(int port, std::chrono::milliseconds every)
{
    std::vector<std::size_t> position(m_sockets.size(), 0);
    while (!m_stop) {
        const auto round = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < m_sockets.size() && !m_stop; ++i) {
            SocketHandle& socket = m_sockets[i];
            if (socket != SocketApi::kInvalid && !SendAll(socket, &kDrip[position[i]], 1)) {
                SocketApi::Close(socket);
                socket = SocketApi::kInvalid;
            }
            if (socket == SocketApi::kInvalid) {
                std::string why;
                socket = SocketApi::Connect("127.0.0.1", port, 1000, why);
                position[i] = 0;
                if (socket == SocketApi::kInvalid || !SendAll(socket, &kDrip[0], 1)) {
                    ++m_refused;
                    continue;
                }
                ++m_connects;
            }
            position[i] = (position[i] + 1) % kDrip.size();
        }
        while (!m_stop && std::chrono::steady_clock::now() < round + every)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

HeaderFlood::HeaderFlood(int port, std::uint64_t total)
{
    SocketApi::Start();
    m_thread = std::thread([this, port, total] { Run(port, total); });
}

HeaderFlood::~HeaderFlood()
{
    m_stop = true;
    m_thread.join();
}

bool HeaderFlood::Finish(std::chrono::milliseconds most)
{
    const auto end = std::chrono::steady_clock::now() + most;
    while (!m_done && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_done;
}

void HeaderFlood::Run(int port, std::uint64_t total)
{
    std::string fields;
    while (fields.size() < 64 * 1024)
        fields += "X-Flood: " + std::string(29, 'f') + "\r\n";
    const std::string start = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    while (!m_stop && m_sent < total) {
        std::string why;
        const SocketHandle socket = SocketApi::Connect("127.0.0.1", port, 1000, why);
        if (socket == SocketApi::kInvalid) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        // Until the server closes the connection.
        bool open = SendAll(socket, start.data(), start.size());
        while (open && !m_stop && m_sent < total) {
            open = SendAll(socket, fields.data(), fields.size());
            if (open)
                m_sent += fields.size();
        }
        SocketApi::Close(socket);
    }
    m_done = m_sent >= total;
}

std::size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    if (!(statm >> pages >> resident))
        return 0;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}
