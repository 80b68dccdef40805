#include "EdgeAttack.h"

#include <fstream>
#include <string>
#include <unistd.h>

namespace {

bool SendAll(SocketHandle socket, const std::string& bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const long sent = SocketApi::Send(socket, bytes.data() + done, bytes.size() - done);
        if (sent <= 0)
            return false;
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

SocketHandle Connect(int port)
{
    std::string why;
    return SocketApi::Connect("127.0.0.1", port, 1000, why);
}

}  // namespace

DripClients::DripClients(int port, std::size_t count, std::chrono::milliseconds every)
{
    SocketApi::Start();
    for (std::size_t i = 0; i < count; ++i)
        m_sockets.push_back(Connect(port));
    m_thread = std::thread([this, every] {
        const std::string header = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Drip: ";
        for (std::size_t sent = 0; !m_stop; ++sent) {
            const std::string next(1, sent < header.size() ? header[sent] : 'd');
            for (SocketHandle socket : m_sockets)
                SendAll(socket, next);
            const auto end = std::chrono::steady_clock::now() + every;
            while (!m_stop && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
}

DripClients::~DripClients()
{
    m_stop = true;
    m_thread.join();
    for (SocketHandle socket : m_sockets)
        SocketApi::Close(socket);
}

HeaderFlood::HeaderFlood(int port, std::uint64_t total) : m_total(total)
{
    SocketApi::Start();
    m_thread = std::thread([this, port] {
        std::string fields;
        while (fields.size() < 64 * 1024)
            fields += "X-Flood: " + std::string(29, 'f') + "\r\n";
        while (!m_stop && m_sent < m_total) {
            const SocketHandle socket = Connect(port);
            bool open = SendAll(socket, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
            while (open && !m_stop && m_sent < m_total) {
                open = SendAll(socket, fields);
                m_sent += open ? fields.size() : 0;
            }
            SocketApi::Close(socket);
        }
    });
}

HeaderFlood::~HeaderFlood()
{
    m_stop = true;
    m_thread.join();
}

bool HeaderFlood::Finish(std::chrono::milliseconds most)
{
    const auto end = std::chrono::steady_clock::now() + most;
    while (m_sent < m_total && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return m_sent >= m_total;
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
