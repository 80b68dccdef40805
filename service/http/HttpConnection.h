#pragma once

#include "service/http/HttpResponse.h"
#include "service/http/RequestParser.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#ifdef THERMAL_HTTP_TLS
#include <boost/asio/ssl/stream.hpp>
#endif

namespace boost::asio::ssl {
class context;
}  // namespace boost::asio::ssl
class HttpExchange;
class HttpServerCore;
class HttpStream;
struct Refusal;

// One client's connection, driven on the I/O thread alone: it reads one
// request at a time under the server's limits and deadlines, screens its
// header, hands the whole request to the handler pool, and writes the
// answer in one write; then reads the next. After any refusal, and after
// an answer that closes, it shuts its sending side and reads what still
// comes for a short while (a lingering close), so the client gets the
// answer instead of a reset. Kept alive by its pending operations; the
// server holds it weakly.
class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    using Clock = std::chrono::steady_clock;

    HttpConnection(HttpServerCore& core, boost::asio::ip::tcp::socket socket, boost::asio::ssl::context* tls,
                   std::uint64_t id);

    // The TLS handshake, if any, then the first request.
    void Start();
    // The answer to the request numbered `exchange`; ignored unless that
    // request still waits for one.
    void Answer(std::uint64_t exchange, HttpResponse response);
    // Answers that request with a stream: the head now, then what is pushed.
    void StartStream(std::uint64_t exchange, const std::shared_ptr<HttpStream>& stream, const HttpResponse& head);
    // The stream has data, was closed or dropped.
    void StreamChanged();
    // At `deadline`, unless the request was answered, the pool runs
    // `fallback` and its answer is sent. Replaces an earlier one.
    void Fallback(const std::shared_ptr<HttpExchange>& exchange, Clock::time_point deadline,
                  std::function<HttpResponse()> fallback);
    // The server stops: closed at once unless an answer is awaited or being
    // written (then closed after it).
    void ServerStopping();
    // Closed at once; a request waiting for its answer is abandoned.
    void Close();

private:
    enum class Phase {
        Handshake,  // TLS
        Idle,       // no byte of the next request yet
        Header,     // reading a header
        Body,       // reading a body (the header was screened)
        Handling,   // the handler works; the client's leaving is watched
        Writing,    // an answer goes out
        Streaming,  // a stream goes out
        Lingering,  // after the last answer: reading what still comes, then closed
        Closed,
    };

    void BeginRequest();
    void HeaderBegins();
    std::size_t ReadRoom() const;
    void Read();
    void OnRead(const boost::system::error_code& error, const char* data, std::size_t bytes);
    void Parse();
    // After a header: the Screen's verdict, then the body's deadline and
    // "100 Continue". False when the request was refused.
    bool Screened();
    void Dispatch();
    void Refuse(const Refusal& refusal);
    void WriteRefusal(HttpResponse answer);
    void Write(std::string bytes);
    void WriteNext();
    void OnWritten(const boost::system::error_code& error);
    void AfterAnswer();
    void PumpStream();
    void ArmHeartbeat();
    void Linger();
    void Arm(Clock::time_point deadline);
    void Disarm();
    void OnDeadline();

    HttpServerCore& m_core;
    boost::asio::ip::tcp::socket m_socket;
#ifdef THERMAL_HTTP_TLS
    std::optional<boost::asio::ssl::stream<boost::asio::ip::tcp::socket&>> m_tls;
#endif
    bool m_overTls = false;
    const std::uint64_t m_id;
    std::string m_peer;
    Phase m_phase = Phase::Idle;

    // Reading: one read at a time, into the I/O thread's buffer (plain) or
    // m_ownRead (TLS, Windows), whose bytes go to m_in, where the parser
    // reads them (a read never goes straight into m_in, which the parser
    // consumes meanwhile).
    std::unique_ptr<char[]> m_ownRead;
    boost::beast::flat_buffer m_in;
    bool m_reading = false;
    bool m_peerGone = false;  // the client closed its side or the connection broke
    std::optional<RequestParser> m_parser;
    bool m_screened = false;
    std::uint64_t m_requests = 0;
    std::size_t m_lingered = 0;

    // The request being handled.
    std::uint64_t m_exchangeId = 0;
    std::weak_ptr<HttpExchange> m_exchange;
    bool m_keepAlive = false;
    bool m_version10 = false;
    bool m_headRequest = false;
    bool m_closeAfter = false;
    std::shared_ptr<HttpStream> m_stream;

    // Writing: one write at a time (a deque: what is being written stays
    // where it is while more is queued).
    std::deque<std::string> m_out;
    bool m_writing = false;

    boost::asio::steady_timer m_deadline;  // of the phase (handshake, header, body, idle, linger)
    std::uint64_t m_armed = 0;
    boost::asio::steady_timer m_writeDeadline;
    boost::asio::steady_timer m_heartbeat;
    boost::asio::steady_timer m_fallback;
};
