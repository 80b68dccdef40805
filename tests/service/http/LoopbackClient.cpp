#include "LoopbackClient.h"

#include "service/http/HttpHeaders.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/write.hpp>
#ifdef THERMAL_HTTP_TLS
#include <boost/asio/ssl/host_name_verification.hpp>
#endif

namespace asio = boost::asio;
using boost::system::error_code;
using Clock = std::chrono::steady_clock;

std::string LoopbackClient::Answer::Field(std::string_view name) const
{
    std::size_t line = head.find("\r\n");
    while (line != std::string::npos && line + 2 < head.size()) {
        const std::size_t start = line + 2;
        const std::size_t end = head.find("\r\n", start);
        const std::string text = head.substr(start, end - start);
        const std::size_t colon = text.find(':');
        if (colon != std::string::npos && HttpHeaders::SameName(std::string_view(text).substr(0, colon), name))
            return text.substr(text.find_first_not_of(' ', colon + 1));
        line = end;
    }
    return std::string();
}

std::string LoopbackClient::Answer::HeadWithoutDate() const
{
    const std::size_t date = head.find("\r\nDate: ");
    if (date == std::string::npos)
        return head;
    return head.substr(0, date) + head.substr(head.find("\r\n", date + 2));
}

LoopbackClient::LoopbackClient(int port, const std::string& caFile, const std::string& host) : m_socket(m_io)
{
    error_code error;
    m_socket.connect({asio::ip::make_address(host), static_cast<unsigned short>(port)}, error);
    if (error)
        return;
#ifdef THERMAL_HTTP_TLS
    if (!caFile.empty()) {
        m_context = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_client);
        m_context->load_verify_file(caFile);
        m_context->set_verify_mode(asio::ssl::verify_peer);
        m_context->set_verify_callback(asio::ssl::host_name_verification("localhost"));
        m_tls = std::make_unique<asio::ssl::stream<asio::ip::tcp::socket&>>(m_socket, *m_context);
        m_tls->handshake(asio::ssl::stream_base::client, error);
        if (error)
            return;
    }
#else
    (void)caFile;
#endif
    m_connected = true;
}

LoopbackClient::~LoopbackClient()
{
    Close();
}

void LoopbackClient::Close()
{
    error_code ignored;
    m_socket.close(ignored);
    m_connected = false;
}

bool LoopbackClient::Send(std::string_view bytes)
{
    error_code error;
#ifdef THERMAL_HTTP_TLS
    if (m_tls) {
        asio::write(*m_tls, asio::buffer(bytes.data(), bytes.size()), error);
        return !error;
    }
#endif
    asio::write(m_socket, asio::buffer(bytes.data(), bytes.size()), error);
    return !error;
}

bool LoopbackClient::ReadMore(Clock::time_point deadline)
{
    if (m_ended)
        return false;
    char chunk[16 * 1024];
    bool done = false;
    error_code failure;
    std::size_t got = 0;
    auto finished = [&](const error_code& error, std::size_t bytes) {
        done = true;
        failure = error;
        got = bytes;
    };
#ifdef THERMAL_HTTP_TLS
    if (m_tls)
        m_tls->async_read_some(asio::buffer(chunk), finished);
    else
#endif
        m_socket.async_read_some(asio::buffer(chunk), finished);
    m_io.restart();
    m_io.run_until(deadline);
    if (!done) {
        error_code ignored;
        m_socket.cancel(ignored);
        m_io.restart();
        m_io.run();
        return false;
    }
    m_buffer.append(chunk, got);
    if (failure)
        m_ended = true;
    return !failure;
}

std::optional<LoopbackClient::Answer> LoopbackClient::Receive(int timeoutMs, bool withBody)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = m_buffer.find("\r\n\r\n");
        if (end != std::string::npos) {
            Answer answer;
            answer.head = m_buffer.substr(0, end + 2);
            answer.status = std::atoi(answer.head.c_str() + 9);
            const std::string length = answer.Field("Content-Length");
            const std::size_t size = length.empty() || !withBody ? 0 : std::stoul(length);
            if (m_buffer.size() >= end + 4 + size) {
                answer.body = m_buffer.substr(end + 4, size);
                m_buffer.erase(0, end + 4 + size);
                return answer;
            }
        }
        if (!ReadMore(deadline))
            return std::nullopt;
    }
}

std::string LoopbackClient::ReceiveBytes(std::size_t count, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_buffer.size() < count && ReadMore(deadline)) {
    }
    std::string bytes;
    bytes.swap(m_buffer);
    return bytes;
}

bool LoopbackClient::ClosedWithin(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (ReadMore(deadline)) {
        m_buffer.clear();
    }
    return m_ended;
}
