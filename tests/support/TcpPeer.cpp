#include "support/TcpPeer.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <utility>

#ifndef _WIN32
#include <sys/socket.h>
#endif

TcpPeer::TcpPeer(std::string greeting)
{
    std::string why;
    m_listener = SocketApi::Listen("127.0.0.1", 0, m_port, why);
    if (m_listener == SocketApi::kInvalid) {
        throw std::runtime_error("cannot listen: " + why);
    }
    m_accepter = std::thread([this, greeting = std::move(greeting)] {
        // In short waits, so that a peer no client came to goes away at once.
        for (int waited = 0;; waited += 20) {
            pollfd wait{m_listener, POLLIN, 0};
            if (SocketApi::Poll(&wait, 1, 20) > 0) {
                break;
            }
            if (m_stopping || waited >= 5000) {
                return;
            }
        }
        const SocketHandle client = SocketApi::Accept(m_listener);
        if (client != SocketApi::kInvalid && !greeting.empty()) {
            SocketApi::Send(client, greeting.data(), greeting.size());
        }
        m_client = client;
    });
}

TcpPeer::~TcpPeer()
{
    m_stopping = true;
    m_accepter.join();
    Close();
    SocketApi::Close(m_listener);
}

SocketHandle TcpPeer::Client()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (m_client == SocketApi::kInvalid && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_client == SocketApi::kInvalid) {
        throw std::runtime_error("no client came");
    }
    return m_client;
}

void TcpPeer::Send(const std::string& bytes)
{
    const SocketHandle client = Client();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long sent = SocketApi::Send(client, bytes.data() + done, bytes.size() - done);
        if (sent <= 0) {
            throw std::runtime_error("the client went away");
        }
        done += static_cast<std::size_t>(sent);
    }
}

std::string TcpPeer::Receive(std::size_t count, int quietMs)
{
    const SocketHandle client = Client();
    std::string bytes;
    while (bytes.size() < count) {
        pollfd wait{client, POLLIN, 0};
        if (SocketApi::Poll(&wait, 1, quietMs) <= 0) {
            break;
        }
        char buffer[4096];
        const long received = SocketApi::Receive(client, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (received <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(received));
    }
    return bytes;
}

void TcpPeer::HangUp(Hangup how)
{
    if (how == Hangup::Reset) {
        // No lingering: closing then sends RST.
        const linger now{1, 0};
        setsockopt(Client(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&now), sizeof now);
    }
    Client();
    Close();
}

void TcpPeer::Close()
{
    SocketApi::Close(m_client.exchange(SocketApi::kInvalid));
}
