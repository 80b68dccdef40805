#include "PtyPeerSession.h"

#include "support/PtyPeerProtocol.h"

#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <system_error>

namespace {

// False once the connection has closed or failed.
bool ReceiveExactly(int connection, std::string& bytes, std::size_t count)
{
    bytes.assign(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::recv(connection, bytes.data() + done, count - done, 0);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool SendAll(int connection, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(connection, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

PtyPeerSession::PtyPeerSession(int connection, std::filesystem::path portLinks)
    : m_connection(connection), m_portLinks(std::move(portLinks))
{
}

PtyPeerSession::~PtyPeerSession()
{
    // Only links that still lead to this terminal: another session may have
    // taken the name over meanwhile.
    for (const std::filesystem::path& link : m_links) {
        std::error_code error;
        if (m_terminal && std::filesystem::read_symlink(link, error) == m_terminal->SlavePath()) {
            std::filesystem::remove(link, error);
        }
    }
    m_terminal.reset();
    ::close(m_connection);
}

void PtyPeerSession::Run()
{
    std::string header;
    std::string payload;
    while (ReceiveExactly(m_connection, header, PtyPeerProtocol::kHeaderSize) &&
           ReceiveExactly(m_connection, payload, PtyPeerProtocol::Length(header))) {
        char code = PtyPeerProtocol::kDone;
        std::string answer;
        try {
            answer = Answer(header[0], payload);
        } catch (const std::exception& error) {
            code = PtyPeerProtocol::kFailed;
            answer = error.what();
        }
        if (!SendAll(m_connection, PtyPeerProtocol::Header(code, static_cast<std::uint32_t>(answer.size())) + answer)) {
            return;
        }
    }
}

std::string PtyPeerSession::Answer(char operation, const std::string& payload)
{
    if (operation == PtyPeerProtocol::kOpen) {
        if (m_terminal) {
            throw std::runtime_error("this connection has its terminal already");
        }
        m_terminal = std::make_unique<PseudoTerminal>(payload == "program" ? PseudoTerminal::Use::Program
                                                                           : PseudoTerminal::Use::Port);
        return m_terminal->SlavePath();
    }
    if (!m_terminal) {
        throw std::runtime_error("no terminal opened on this connection");
    }
    switch (operation) {
    case PtyPeerProtocol::kMap:
        Map(payload);
        return std::string();
    case PtyPeerProtocol::kSend:
        m_terminal->Send(payload);
        return std::string();
    case PtyPeerProtocol::kReceive: {
        const std::size_t space = payload.find(' ');
        return m_terminal->Receive(std::stoull(payload.substr(0, space)), std::stoi(payload.substr(space + 1)));
    }
    case PtyPeerProtocol::kReadLine:
        return PtyPeerProtocol::EncodeLine(m_terminal->Line());
    case PtyPeerProtocol::kSlaveOpen:
        return m_terminal->SlaveOpen() ? "1" : "0";
    case PtyPeerProtocol::kHangUp:
        m_terminal->HangUp();
        return std::string();
    default:
        throw std::runtime_error("unknown request '" + std::string(1, operation) + "'");
    }
}

void PtyPeerSession::Map(const std::string& portNumber)
{
    const int number = std::stoi(portNumber);
    if (number < 1) {
        throw std::runtime_error("no port COM" + portNumber);
    }
    const std::filesystem::path link = m_portLinks / ("com" + std::to_string(number));
    std::error_code error;
    const std::filesystem::file_status existing = std::filesystem::symlink_status(link, error);
    if (std::filesystem::exists(existing) && !std::filesystem::is_symlink(existing)) {
        throw std::runtime_error(link.string() + " is not a link; left alone");
    }
    std::filesystem::remove(link, error);
    std::filesystem::create_symlink(m_terminal->SlavePath(), link, error);
    if (error) {
        throw std::runtime_error("cannot link " + link.string() + ": " + error.message());
    }
    m_links.push_back(link);
}
