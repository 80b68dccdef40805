#include "service/http/HttpServerCore.h"

#include "service/http/HttpConnection.h"
#include "service/http/Refusal.h"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <stdexcept>
#ifdef THERMAL_HTTP_TLS
#include "service/http/ServerTls.h"
#endif

namespace asio = boost::asio;
using boost::system::error_code;

namespace {

// An accept that failed for want of file descriptors is tried again after
// this, instead of at once and for ever.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

std::string EndpointText(const asio::ip::address& address, int port)
{
    const std::string host = address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
    return host + ":" + std::to_string(port);
}

}  // namespace

HttpServerCore::HttpServerCore(HttpServer::Options options, HttpServer::Screen screen, HttpServer::Handler handler)
    : m_options(std::move(options)),
      m_screen(std::move(screen)),
      m_handler(std::move(handler)),
      m_io(std::make_unique<asio::io_context>(1)),
      m_pool(m_options.limits.handlerThreads, m_options.limits.maxPendingHandlers)
{
}

HttpServerCore::~HttpServerCore()
{
    Stop(std::chrono::milliseconds(0));
    m_listeners.clear();
    m_work.reset();
    m_io.reset();
}

bool HttpServerCore::Bind(std::string& error)
{
    std::lock_guard<std::mutex> lock(m_control);
    if (!m_listeners.empty() || m_ended) {
        error = "the server is bound already";
        return false;
    }
    if (m_options.tls) {
#ifdef THERMAL_HTTP_TLS
        m_tls = ServerTls::Load(*m_options.tls, error);
        m_tlsFailed = !m_tls;
        if (!m_tls)
            return false;
#else
        error = "TLS is not built into this program";
        m_tlsFailed = true;
        return false;
#endif
    }
    if (m_options.host == "localhost") {
        // Both loopbacks, on one port: a client may try either first.
        if (!Listen(asio::ip::address_v4::loopback(), m_options.port, false, error) ||
            !Listen(asio::ip::address_v6::loopback(), m_port, true, error)) {
            m_listeners.clear();
            return false;
        }
        return true;
    }
    error_code notAddress;
    const asio::ip::address address = asio::ip::make_address(m_options.host, notAddress);
    if (notAddress) {
        error = "cannot listen on " + m_options.host + ": not a numeric address or localhost";
        return false;
    }
    return Listen(address, m_options.port, false, error);
}

bool HttpServerCore::Listen(const asio::ip::address& address, int port, bool optional, std::string& error)
{
    const Tcp::endpoint endpoint(address, static_cast<unsigned short>(port));
    auto listener = std::make_unique<Tcp::acceptor>(*m_io);
    error_code failure;
    listener->open(endpoint.protocol(), failure);
    if (failure && optional && failure == asio::error::address_family_not_supported)
        return true;  // no IPv6 here
    if (!failure) {
#ifdef _WIN32
        // Windows lets another socket take a port bound without this.
        listener->set_option(asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true), failure);
#else
        // A restart binds while the last run's connections wait in
        // TIME_WAIT; another listener on the port is still refused (this is
        // not SO_REUSEPORT).
        listener->set_option(Tcp::acceptor::reuse_address(true), failure);
#endif
    }
    if (!failure)
        listener->bind(endpoint, failure);
    if (failure && optional && failure == boost::system::errc::address_not_available)
        return true;  // no IPv6 loopback here
    if (!failure)
        listener->listen(asio::socket_base::max_listen_connections, failure);
    if (failure) {
        error = "cannot listen on " + EndpointText(address, port) + ": " + failure.message();
        return false;
    }
    if (m_listeners.empty())
        m_port = listener->local_endpoint().port();
    m_listeners.push_back(std::move(listener));
    return true;
}

void HttpServerCore::Start()
{
    std::lock_guard<std::mutex> lock(m_control);
    if (m_listeners.empty() || m_ended)
        throw std::logic_error("HttpServer::Start without a successful Bind");
    if (m_started)
        return;
    m_started = true;
    m_work.emplace(m_io->get_executor());
    for (auto& listener : m_listeners)
        Accept(*listener);
    m_pool.Start();
    m_thread = std::thread([this] { m_io->run(); });
}

void HttpServerCore::Stop(std::chrono::milliseconds grace)
{
    std::lock_guard<std::mutex> lock(m_control);
    if (m_ended)
        return;
    m_ended = true;
    if (!m_started) {
        m_stopped = true;
        CloseListeners();
        return;
    }
    const auto end = std::chrono::steady_clock::now() + grace;
    asio::post(*m_io, [this] {
        m_stopping = true;
        CloseListeners();
        StopConnections(false);
    });
    {
        std::unique_lock<std::mutex> stats(m_statsMutex);
        m_allClosed.wait_until(stats, end, [this] { return m_stats.connectionsOpen == 0; });
    }
    // From here no answer is taken: what the pool or a Responder sends
    // later goes nowhere.
    m_stopped = true;
    asio::post(*m_io, [this] {
        StopConnections(true);
        m_work.reset();
        m_io->stop();
    });
    m_thread.join();
    m_pool.Stop();
}

bool HttpServerCore::Post(std::function<void()> task)
{
    if (m_stopped)
        return false;
    asio::post(*m_io, std::move(task));
    return true;
}

HttpServer::Stats HttpServerCore::GetStats() const
{
    std::lock_guard<std::mutex> lock(m_statsMutex);
    return m_stats;
}

void HttpServerCore::Accept(Tcp::acceptor& listener)
{
    listener.async_accept([this, &listener](const error_code& error, Tcp::socket socket) {
        if (error == asio::error::operation_aborted || m_stopping)
            return;
        if (!error) {
            Accepted(std::move(socket));
        } else if (error == asio::error::no_descriptors || error == asio::error::no_buffer_space ||
                   error == asio::error::no_memory) {
            auto pause = std::make_shared<asio::steady_timer>(*m_io, kAcceptPause);
            pause->async_wait([this, pause, &listener](const error_code&) {
                if (!m_stopping)
                    Accept(listener);
            });
            return;
        }
        Accept(listener);
    });
}

void HttpServerCore::Accepted(Tcp::socket socket)
{
    {
        std::lock_guard<std::mutex> lock(m_statsMutex);
        ++m_stats.connectionsAccepted;
        if (m_stats.connectionsOpen >= m_options.limits.maxConnections) {
            error_code ignored;
            socket.close(ignored);
            return;
        }
        ++m_stats.connectionsOpen;
    }
    error_code ignored;
    socket.set_option(Tcp::no_delay(true), ignored);
    const std::uint64_t id = ++m_lastId;
#ifdef THERMAL_HTTP_TLS
    asio::ssl::context* tls = m_tls.get();
#else
    asio::ssl::context* tls = nullptr;
#endif
    auto connection = std::make_shared<HttpConnection>(*this, std::move(socket), tls, id);
    m_connections.emplace(id, connection);
    connection->Start();
}

void HttpServerCore::CloseListeners()
{
    for (auto& listener : m_listeners) {
        error_code ignored;
        listener->close(ignored);
    }
}

void HttpServerCore::StopConnections(bool close)
{
    std::vector<std::shared_ptr<HttpConnection>> connections;
    for (const auto& [id, connection] : m_connections) {
        if (auto live = connection.lock())
            connections.push_back(std::move(live));
    }
    for (const auto& connection : connections) {
        if (close)
            connection->Close();
        else
            connection->ServerStopping();
    }
}

void HttpServerCore::Closed(std::uint64_t id)
{
    m_connections.erase(id);
    std::lock_guard<std::mutex> lock(m_statsMutex);
    --m_stats.connectionsOpen;
    if (m_stats.connectionsOpen == 0)
        m_allClosed.notify_all();
}

std::optional<HttpResponse> HttpServerCore::Screen(const HttpRequest& head)
{
    if (!m_screen)
        return std::nullopt;
    try {
        return m_screen(head);
    } catch (...) {
        return Refusal{Refusal::Kind::Internal, "the request's screen failed"}.Answer();
    }
}

bool HttpServerCore::Dispatch(HttpRequest request, Responder responder)
{
    return m_pool.TryRun([this, request = std::move(request), responder]() mutable {
        try {
            m_handler(std::move(request), responder);
        } catch (...) {
            // First Send wins: nothing happens when it had answered.
            responder.Send(Refusal{Refusal::Kind::Internal, "the request's handler failed"}.Answer());
        }
    });
}

void HttpServerCore::RunFallback(std::function<void()> task)
{
    m_pool.Run(std::move(task));
}

void HttpServerCore::CountAnswer(int status)
{
    std::lock_guard<std::mutex> lock(m_statsMutex);
    ++m_stats.answersByStatus[status];
}

void HttpServerCore::CountDroppedStream()
{
    std::lock_guard<std::mutex> lock(m_statsMutex);
    ++m_stats.streamsDropped;
}
