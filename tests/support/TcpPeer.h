#pragma once

#include "serial/platform/SocketApi.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

// The far end of a network transport under test: listens on 127.0.0.1, takes
// one client on its own thread and greets it with the given bytes (a device
// server's opening), then lets the test send and receive as it likes.
class TcpPeer {
public:
    explicit TcpPeer(std::string greeting = std::string());
    ~TcpPeer();
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    int Port() const { return m_port; }

    // Bytes to the client (after waiting for it, up to 2 s).
    void Send(const std::string& bytes);
    // What the client sent: up to count bytes, stopping once nothing comes for quietMs.
    std::string Receive(std::size_t count, int quietMs = 200);
    std::string ReceiveAll(int quietMs = 200) { return Receive(static_cast<std::size_t>(-1), quietMs); }
    // Ends the connection, as a server that is killed does.
    void Close();
    // Ends the connection as soon as a client has come (waiting up to 2 s):
    // closed, or reset (an RST, not a FIN), as a device server does that
    // gives its line to another client or refuses one while another holds it.
    enum class Hangup { Close, Reset };
    void HangUp(Hangup how);

private:
    SocketHandle Client();

    SocketHandle m_listener = SocketApi::kInvalid;
    int m_port = 0;
    std::atomic<SocketHandle> m_client{SocketApi::kInvalid};
    std::atomic<bool> m_stopping{false};
    std::thread m_accepter;
};
