// The pseudo-terminal of a test running under Wine: held by wine-pty-peer on
// the Linux side and driven over a loopback connection.

#include "support/PseudoTerminal.h"

#include "serial/platform/ComPortName.h"
#include "support/PtyPeerProtocol.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace {

std::runtime_error Failure(const std::string& what)
{
    return std::runtime_error("pseudo-terminal peer: " + what);
}

SOCKET Connect()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    const char* address = std::getenv(PtyPeerProtocol::kAddressVariable);
    if (address == nullptr || *address == '\0') {
        throw Failure(std::string(PtyPeerProtocol::kAddressVariable) +
                      " is not set: Windows has no pseudo-terminals, so these tests run under Wine, "
                      "started through wine-pty-peer (scripts/test-windows does that)");
    }
    const std::string text = address;
    const std::size_t colon = text.rfind(':');
    if (!started || colon == std::string::npos) {
        throw Failure("cannot use the address " + text);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(text.substr(0, colon).c_str(), text.substr(colon + 1).c_str(), &hints, &found) != 0) {
        throw Failure("cannot resolve " + text);
    }
    const SOCKET peer = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    const bool connected =
        peer != INVALID_SOCKET && connect(peer, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
    freeaddrinfo(found);
    if (!connected) {
        if (peer != INVALID_SOCKET) {
            closesocket(peer);
        }
        throw Failure("cannot connect to " + text);
    }
    // Requests are small and answered one at a time: no batching delay.
    const BOOL noDelay = TRUE;
    setsockopt(peer, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
    return peer;
}

void SendAll(SOCKET peer, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        const int n = send(peer, bytes.data() + done, chunk, 0);
        if (n <= 0) {
            throw Failure("the connection failed while sending");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string ReceiveExactly(SOCKET peer, std::size_t count)
{
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const int chunk = static_cast<int>(std::min<std::size_t>(count - done, 1 << 20));
        const int n = recv(peer, bytes.data() + done, chunk, 0);
        if (n <= 0) {
            throw Failure("the connection closed while receiving");
        }
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

}  // namespace

PseudoTerminal::PseudoTerminal(Use use) : m_peer(Connect())
{
    try {
        m_slavePath = Ask(PtyPeerProtocol::kOpen, use == Use::Port ? "port" : "program");
    } catch (...) {
        closesocket(m_peer);
        throw;
    }
}

PseudoTerminal::~PseudoTerminal()
{
    // The peer closes the terminal and removes its links when we go.
    closesocket(m_peer);
}

std::string PseudoTerminal::Ask(char operation, const std::string& payload) const
{
    SendAll(m_peer, PtyPeerProtocol::Header(operation, static_cast<std::uint32_t>(payload.size())) + payload);
    const std::string header = ReceiveExactly(m_peer, PtyPeerProtocol::kHeaderSize);
    const std::string answer = ReceiveExactly(m_peer, PtyPeerProtocol::Length(header));
    if (header[0] != PtyPeerProtocol::kDone) {
        throw Failure(answer);
    }
    return answer;
}

std::string PseudoTerminal::MapAs(int portNumber)
{
    Ask(PtyPeerProtocol::kMap, std::to_string(portNumber));
    return ComPortName::ForPort(portNumber);
}

void PseudoTerminal::Send(const std::string& bytes)
{
    Ask(PtyPeerProtocol::kSend, bytes);
}

std::string PseudoTerminal::Receive(std::size_t count, int quietMs)
{
    return Ask(PtyPeerProtocol::kReceive, std::to_string(count) + " " + std::to_string(quietMs));
}

std::string PseudoTerminal::ReadAll(int quietMs)
{
    return Receive(std::numeric_limits<std::size_t>::max(), quietMs);
}

bool PseudoTerminal::SlaveOpen() const
{
    return Ask(PtyPeerProtocol::kSlaveOpen) == "1";
}

void PseudoTerminal::HangUp()
{
    Ask(PtyPeerProtocol::kHangUp);
}

PseudoTerminal::LineSettings PseudoTerminal::Line() const
{
    return PtyPeerProtocol::DecodeLine(Ask(PtyPeerProtocol::kReadLine));
}
