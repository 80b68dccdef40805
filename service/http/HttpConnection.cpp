#include "service/http/HttpConnection.h"

#include "service/http/AnswerBytes.h"
#include "service/http/HttpExchange.h"
#include "service/http/HttpServerCore.h"
#include "service/http/HttpStream.h"
#include "service/http/Refusal.h"
#include "service/http/Responder.h"

#include <algorithm>
#include <boost/asio/write.hpp>
#include <boost/beast/http/error.hpp>
#include <cstring>

namespace asio = boost::asio;
using boost::system::error_code;

namespace {

// What one read takes at most into a connection's own buffer (a TLS record
// is 16 KiB at most); a plain one reads kReadBytes into the I/O thread's.
constexpr std::size_t kOwnReadBytes = 16 * 1024;
// Windows (where Asio's waits for a readable socket take a thread of their
// own and a bounded select()) reads every connection into its own buffer.
#ifdef _WIN32
constexpr bool kWaitBeforeReading = false;
#else
constexpr bool kWaitBeforeReading = true;
#endif
// A lingering close reads and discards for at most this long, and this much.
constexpr auto kLingerTime = std::chrono::seconds(1);
constexpr std::size_t kLingerBytes = 256 * 1024;

const std::string kContinue = "HTTP/1.1 100 Continue\r\n\r\n";
const std::string kHeartbeat = ":\n\n";

std::string PeerOf(const asio::ip::tcp::socket& socket)
{
    error_code error;
    asio::ip::address address = socket.remote_endpoint(error).address();
    if (error)
        return std::string();
    // A dual-stack listener sees IPv4 clients as ::ffff:a.b.c.d.
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        address = asio::ip::make_address_v4(asio::ip::v4_mapped, address.to_v6());
    return address.to_string();
}

std::string Milliseconds(std::chrono::milliseconds time)
{
    return std::to_string(time.count()) + " ms";
}

}  // namespace

HttpConnection::HttpConnection(HttpServerCore& core, asio::ip::tcp::socket socket, asio::ssl::context* tls,
                               std::uint64_t id)
    : m_core(core),
      m_socket(std::move(socket)),
      m_id(id),
      m_peer(PeerOf(m_socket)),
      m_in(core.Limits().maxHeaderBytes + HttpServerCore::kReadBytes),
      m_deadline(m_socket.get_executor()),
      m_writeDeadline(m_socket.get_executor()),
      m_heartbeat(m_socket.get_executor()),
      m_fallback(m_socket.get_executor())
{
#ifdef THERMAL_HTTP_TLS
    if (tls)
        m_tls.emplace(m_socket, *tls);
    m_overTls = tls != nullptr;
#else
    (void)tls;
#endif
    if (m_overTls || !kWaitBeforeReading) {
        m_ownRead.reset(new char[kOwnReadBytes]);
    } else {
        // Read only once the system says there are bytes: never blocks.
        error_code ignored;
        m_socket.non_blocking(true, ignored);
    }
}

void HttpConnection::Start()
{
#ifdef THERMAL_HTTP_TLS
    if (m_tls) {
        m_phase = Phase::Handshake;
        Arm(Clock::now() + m_core.Limits().headerDeadline);
        m_tls->async_handshake(asio::ssl::stream_base::server, [self = shared_from_this()](const error_code& error) {
            if (self->m_phase != Phase::Handshake)
                return;
            if (error)
                self->Close();
            else
                self->BeginRequest();
        });
        return;
    }
#endif
    BeginRequest();
}

// --- reading ---------------------------------------------------------------

void HttpConnection::BeginRequest()
{
    const HttpServer::Limits& limits = m_core.Limits();
    m_phase = Phase::Idle;
    m_parser.emplace(limits, m_peer, m_overTls);
    m_screened = false;
    m_headRequest = false;
    // A kept connection may wait for its next request; a new one is opened
    // to send one, so its first header's deadline runs from the start.
    Arm(Clock::now() + (++m_requests == 1 ? limits.headerDeadline : limits.idleTimeout));
    if (m_in.size() == 0) {
        // Between requests a connection keeps only a small buffer.
        if (m_in.capacity() > kOwnReadBytes)
            m_in.shrink_to_fit();
        Read();
        return;
    }
    HeaderBegins();
    Parse();
}

void HttpConnection::HeaderBegins()
{
    m_phase = Phase::Header;
    if (m_requests > 1)
        Arm(Clock::now() + m_core.Limits().headerDeadline);
}

std::size_t HttpConnection::ReadRoom() const
{
    // While a request is handled, what the client sends next (pipelined) is
    // kept up to a header's size, and reading stops there.
    if ((m_phase == Phase::Handling || m_phase == Phase::Writing) && m_in.size() >= m_core.Limits().maxHeaderBytes)
        return 0;
    const std::size_t most = m_ownRead ? kOwnReadBytes : HttpServerCore::kReadBytes;
    return std::min(most, m_in.max_size() - m_in.size());
}

void HttpConnection::Read()
{
    if (m_reading || m_phase == Phase::Closed || ReadRoom() == 0)
        return;
    m_reading = true;
    if (m_ownRead) {
        auto done = [self = shared_from_this()](const error_code& error, std::size_t bytes) {
            self->OnRead(error, self->m_ownRead.get(), bytes);
        };
#ifdef THERMAL_HTTP_TLS
        if (m_tls)
            return m_tls->async_read_some(asio::buffer(m_ownRead.get(), ReadRoom()), std::move(done));
#endif
        return m_socket.async_read_some(asio::buffer(m_ownRead.get(), ReadRoom()), std::move(done));
    }
    // A connection that waits for bytes holds no buffer: they are read, once
    // there, into the I/O thread's.
    m_socket.async_wait(asio::ip::tcp::socket::wait_read, [self = shared_from_this()](const error_code& waited) {
        if (waited)
            return self->OnRead(waited, nullptr, 0);
        char* buffer = self->m_core.ReadBuffer();
        error_code error;
        const std::size_t bytes = self->m_socket.read_some(asio::buffer(buffer, self->ReadRoom()), error);
        if (error == asio::error::would_block) {
            self->m_reading = false;
            return self->Read();
        }
        self->OnRead(error, buffer, bytes);
    });
}

void HttpConnection::OnRead(const error_code& error, const char* data, std::size_t bytes)
{
    m_reading = false;
    if (m_phase == Phase::Closed)
        return;
    if (error) {
        // The client closed its side or the connection broke. An answer
        // being written is finished first; anything else ends here (a
        // handler still working is told through OnAbandon).
        m_peerGone = true;
        if (m_phase != Phase::Writing)
            Close();
        return;
    }
    if (m_phase == Phase::Lingering) {
        m_lingered += bytes;
        if (m_lingered > kLingerBytes)
            Close();
        else
            Read();
        return;
    }
    if (m_phase == Phase::Streaming) {
        // What a stream's client sends is not read as requests.
        Read();
        return;
    }
    const asio::mutable_buffer target = m_in.prepare(bytes);
    std::memcpy(target.data(), data, bytes);
    m_in.commit(bytes);
    if (m_phase == Phase::Idle)
        HeaderBegins();
    if (m_phase == Phase::Header || m_phase == Phase::Body)
        Parse();
    else
        Read();
}

void HttpConnection::Parse()
{
    namespace http = boost::beast::http;
    while (m_in.size() > 0 && (m_phase == Phase::Header || m_phase == Phase::Body)) {
        boost::beast::error_code error;
        m_in.consume(m_parser->Put(m_in.data(), error));
        if (error == http::error::need_more) {
            // The header is bounded by the parser's count of its bytes; this
            // is a chunk's size line (or trailer) that does not end.
            if (m_in.size() == m_in.max_size())
                return Refuse({Refusal::Kind::BadRequest, "a line of the chunked body does not end"});
            break;
        }
        if (error)
            return Refuse(m_parser->RefusalFor(error));
        if (m_parser->is_header_done() && !m_screened && !Screened())
            return;
        if (m_parser->is_done())
            return Dispatch();
    }
    Read();
}

bool HttpConnection::Screened()
{
    m_screened = true;
    const HttpRequest& head = m_parser->Request();
    m_headRequest = head.method == "HEAD";
    if (std::optional<HttpResponse> refusal = m_core.Screen(head)) {
        WriteRefusal(std::move(*refusal));
        return false;
    }
    // Until now the parser stopped after the header, so that the Screen
    // sees the header alone; the body is read as it comes.
    m_parser->eager(true);
    if (!m_parser->is_done()) {
        m_phase = Phase::Body;
        Arm(Clock::now() + m_core.Limits().bodyDeadline);
        // A client that sent part of the body already does not wait for it.
        if (m_parser->ExpectsContinue() && m_in.size() == 0)
            Write(kContinue);
    }
    return true;
}

void HttpConnection::Dispatch()
{
    HttpRequest request = std::move(m_parser->Request());
    m_keepAlive = m_parser->keep_alive();
    m_version10 = request.version == 10;
    m_parser.reset();
    Disarm();
    m_phase = Phase::Handling;
    auto exchange = std::make_shared<HttpExchange>(m_core.weak_from_this(), weak_from_this(), ++m_exchangeId);
    m_exchange = exchange;
    if (!m_core.Dispatch(std::move(request), Responder(exchange))) {
        exchange->Abandon();  // never given to a handler: no answer of its own
        return Refuse({Refusal::Kind::ServiceBusy, "too many requests wait for the service already"});
    }
    // The client's leaving is noticed while the handler works.
    Read();
}

// --- answering -------------------------------------------------------------

void HttpConnection::Answer(std::uint64_t exchange, HttpResponse response)
{
    if (m_phase != Phase::Handling || exchange != m_exchangeId)
        return;
    m_fallback.cancel();
    m_exchange.reset();
    if (!AnswerBytes::Valid(response))
        response = Refusal{Refusal::Kind::Internal, "the request's handler gave an answer HTTP cannot carry"}.Answer();
    m_closeAfter = response.close || !m_keepAlive || m_peerGone || m_core.Stopping();
    m_core.CountAnswer(response.status);
    m_phase = Phase::Writing;
    const auto connection = m_closeAfter  ? AnswerBytes::Connection::Close
                            : m_version10 ? AnswerBytes::Connection::KeepAlive10
                                          : AnswerBytes::Connection::Keep;
    Write(AnswerBytes::Of(response, !m_headRequest, connection));
}

void HttpConnection::Refuse(const Refusal& refusal)
{
    WriteRefusal(refusal.Answer());
}

void HttpConnection::WriteRefusal(HttpResponse answer)
{
    if (!AnswerBytes::Valid(answer))
        answer = Refusal{Refusal::Kind::Internal, "the request's screen gave an answer HTTP cannot carry"}.Answer();
    Disarm();
    m_parser.reset();
    m_core.CountAnswer(answer.status);
    m_phase = Phase::Writing;
    m_closeAfter = true;
    Write(AnswerBytes::Of(answer, !m_headRequest, AnswerBytes::Connection::Close));
}

void HttpConnection::Fallback(const std::shared_ptr<HttpExchange>& exchange, Clock::time_point deadline,
                              std::function<HttpResponse()> fallback)
{
    if (m_phase != Phase::Handling || exchange->Id() != m_exchangeId)
        return;
    m_fallback.expires_at(deadline);
    m_fallback.async_wait(
        [self = shared_from_this(), exchange, fallback = std::move(fallback)](const error_code& error) {
            if (error || self->m_phase != Phase::Handling || exchange->Id() != self->m_exchangeId)
                return;
            self->m_core.RunFallback([exchange, fallback] {
                HttpResponse answer;
                try {
                    answer = fallback();
                } catch (...) {
                    answer = Refusal{Refusal::Kind::Internal, "the request's fallback failed"}.Answer();
                }
                exchange->Send(std::move(answer));
            });
        });
}

void HttpConnection::AfterAnswer()
{
    if (m_closeAfter)
        Linger();
    else
        BeginRequest();
}

// --- streams ---------------------------------------------------------------

void HttpConnection::StartStream(std::uint64_t exchange, const std::shared_ptr<HttpStream>& stream,
                                 const HttpResponse& head)
{
    if (m_phase != Phase::Handling || exchange != m_exchangeId) {
        stream->End();
        return;
    }
    if (!AnswerBytes::Valid(head)) {
        stream->End();
        return Answer(exchange, head);  // answered as the invalid answer it is
    }
    m_fallback.cancel();
    m_exchange.reset();
    m_core.CountAnswer(head.status);
    m_stream = stream;
    m_phase = Phase::Streaming;
    // What the system holds for the client is bounded as the stream's own
    // buffer is, so that one that stopped reading is found behind after
    // about three times that, not after the megabytes the system would let
    // its buffer grow to.
    boost::system::error_code ignored;
    m_socket.set_option(asio::socket_base::send_buffer_size(static_cast<int>(stream->MaxBuffered())), ignored);
    Write(AnswerBytes::StreamHead(head));
}

void HttpConnection::StreamChanged()
{
    if (m_phase != Phase::Streaming)
        return;
    // A client that fell behind is dropped at once, even mid-write.
    if (m_stream->Current() == HttpStream::State::Dropped) {
        m_core.CountDroppedStream();
        return Close();
    }
    PumpStream();
}

void HttpConnection::PumpStream()
{
    if (m_phase != Phase::Streaming || m_writing)
        return;
    const HttpStream::State state = m_stream->Current();
    if (state == HttpStream::State::Dropped)
        m_core.CountDroppedStream();
    if (state == HttpStream::State::Dropped || state == HttpStream::State::Ended)
        return Close();
    std::string data = m_stream->Take();
    if (!data.empty())
        return Write(std::move(data));
    if (state == HttpStream::State::Closing)
        return Linger();
    ArmHeartbeat();
}

void HttpConnection::ArmHeartbeat()
{
    if (m_stream->Heartbeat().count() <= 0)
        return;
    m_heartbeat.expires_after(m_stream->Heartbeat());
    m_heartbeat.async_wait([self = shared_from_this()](const error_code& error) {
        if (!error && self->m_phase == Phase::Streaming && !self->m_writing)
            self->Write(kHeartbeat);
    });
}

// --- writing ---------------------------------------------------------------

void HttpConnection::Write(std::string bytes)
{
    m_out.push_back(std::move(bytes));
    if (!m_writing)
        WriteNext();
}

void HttpConnection::WriteNext()
{
    m_writing = true;
    m_writeDeadline.expires_after(m_core.Limits().writeDeadline);
    m_writeDeadline.async_wait([self = shared_from_this()](const error_code& error) {
        if (error || !self->m_writing)
            return;
        // A client that does not take its answer; a stream's falls behind.
        if (self->m_phase == Phase::Streaming)
            self->m_core.CountDroppedStream();
        self->Close();
    });
    auto done = [self = shared_from_this()](const error_code& error, std::size_t) { self->OnWritten(error); };
#ifdef THERMAL_HTTP_TLS
    if (m_tls) {
        asio::async_write(*m_tls, asio::buffer(m_out.front()), std::move(done));
        return;
    }
#endif
    asio::async_write(m_socket, asio::buffer(m_out.front()), std::move(done));
}

void HttpConnection::OnWritten(const error_code& error)
{
    m_writing = false;
    m_writeDeadline.cancel();
    if (m_phase == Phase::Closed)
        return;
    if (error)
        return Close();
    m_out.pop_front();
    if (!m_out.empty())
        return WriteNext();
    if (m_phase == Phase::Writing) {
        AfterAnswer();
    } else if (m_phase == Phase::Streaming) {
        m_stream->Written();
        PumpStream();
    }
}

// --- ending ----------------------------------------------------------------

void HttpConnection::Linger()
{
    m_phase = Phase::Lingering;
    if (m_peerGone)
        return Close();
    error_code ignored;
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    m_in.clear();
    m_lingered = 0;
    Arm(Clock::now() + kLingerTime);
    Read();
}

void HttpConnection::ServerStopping()
{
    if (m_phase == Phase::Handling)
        return;  // its answer may still come
    if (m_phase == Phase::Writing)
        m_closeAfter = true;
    else
        Close();
}

void HttpConnection::Close()
{
    if (m_phase == Phase::Closed)
        return;
    m_phase = Phase::Closed;
    Disarm();
    m_writeDeadline.cancel();
    m_heartbeat.cancel();
    m_fallback.cancel();
    error_code ignored;
    m_socket.close(ignored);
    if (auto exchange = m_exchange.lock()) {
        if (auto callback = exchange->Abandon()) {
            try {
                callback();
            } catch (...) {
                // The handler's own affair; the connection is closed either way.
            }
        }
    }
    m_exchange.reset();
    if (m_stream) {
        m_stream->End();
        m_stream.reset();
    }
    m_parser.reset();
    // m_out stays: a write cut short may still refer to it until its handler runs.
    m_core.Closed(m_id);
}

// --- deadlines -------------------------------------------------------------

void HttpConnection::Arm(Clock::time_point deadline)
{
    m_deadline.expires_at(deadline);
    m_deadline.async_wait([self = shared_from_this(), armed = ++m_armed](const error_code& error) {
        if (!error && armed == self->m_armed)
            self->OnDeadline();
    });
}

void HttpConnection::Disarm()
{
    ++m_armed;
    m_deadline.cancel();
}

void HttpConnection::OnDeadline()
{
    const HttpServer::Limits& limits = m_core.Limits();
    switch (m_phase) {
    case Phase::Header:
        return Refuse(
            {Refusal::Kind::RequestTimeout, "the header did not arrive within " + Milliseconds(limits.headerDeadline)});
    case Phase::Body:
        return Refuse(
            {Refusal::Kind::RequestTimeout, "the body did not arrive within " + Milliseconds(limits.bodyDeadline)});
    case Phase::Handshake:
    case Phase::Idle:
    case Phase::Lingering: return Close();
    default: return;
    }
}
