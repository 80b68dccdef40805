#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#ifdef THERMAL_HTTP_TLS
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/ssl/stream.hpp>
#endif

// A client of the server under test on loopback, plain or over TLS: it
// writes the bytes a test gives and reads the server's bytes back within
// time limits, so that the test compares them with bytes written by hand.
class LoopbackClient {
public:
    struct Answer {
        int status = 0;
        std::string head;  // the status line and the fields, up to the blank line
        std::string body;  // as long as Content-Length says (none for 1xx, 204 and 304)

        // The first value of that field; "" when there is none.
        std::string Field(std::string_view name) const;
        // The head without its Date field, whose value changes.
        std::string HeadWithoutDate() const;
    };

    // Connects to host:port; with caFile, over TLS, the server's certificate
    // checked against it for the name "localhost".
    explicit LoopbackClient(int port, const std::string& caFile = "", const std::string& host = "127.0.0.1");
    ~LoopbackClient();

    bool Connected() const { return m_connected; }
    // Writes every byte; false when the connection is gone.
    bool Send(std::string_view bytes);
    // The next answer (a 1xx one too); nullopt when none came whole in time.
    // An answer to HEAD has no body, whatever its Content-Length: withBody false.
    std::optional<Answer> Receive(int timeoutMs = 2000, bool withBody = true);
    // Everything read until at least `count` bytes came, or the time is up.
    std::string ReceiveBytes(std::size_t count, int timeoutMs = 2000);
    // True when the server closed the connection within the time (what came
    // before is dropped).
    bool ClosedWithin(int timeoutMs);
    void Close();

private:
    // Reads once, into m_buffer; false on the end of the time or of the
    // connection (then m_ended).
    bool ReadMore(std::chrono::steady_clock::time_point deadline);

    boost::asio::io_context m_io;
    boost::asio::ip::tcp::socket m_socket;
#ifdef THERMAL_HTTP_TLS
    std::unique_ptr<boost::asio::ssl::context> m_context;
    std::unique_ptr<boost::asio::ssl::stream<boost::asio::ip::tcp::socket&>> m_tls;
#endif
    bool m_connected = false;
    bool m_ended = false;
    std::string m_buffer;
};
