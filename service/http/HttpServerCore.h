#pragma once

#include "service/http/HandlerPool.h"
#include "service/http/HttpServer.h"

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace boost::asio::ssl {
class context;
}  // namespace boost::asio::ssl
class HttpConnection;

// The server behind HttpServer: one io_context on one thread for the
// listeners and every connection, and the handler pool. The connections and
// the listeners are touched on the I/O thread alone; what other threads ask
// (an answer, a stream's data) is posted to it. Shared with the exchanges
// and streams, which hold it weakly: an answer given after the server is
// gone goes nowhere.
class HttpServerCore : public std::enable_shared_from_this<HttpServerCore> {
public:
    HttpServerCore(HttpServer::Options options, HttpServer::Screen screen, HttpServer::Handler handler);
    ~HttpServerCore();
    HttpServerCore(const HttpServerCore&) = delete;
    HttpServerCore& operator=(const HttpServerCore&) = delete;

    // HttpServer's calls (see there).
    bool Bind(std::string& error);
    // The last Bind failed on the certificate or key.
    bool TlsFailed() const { return m_tlsFailed; }
    int Port() const { return m_port; }
    void Start();
    void Stop(std::chrono::milliseconds grace);
    HttpServer::Stats GetStats() const;

    // Any thread: runs the task on the I/O thread; false (nothing queued)
    // once the server has stopped.
    bool Post(std::function<void()> task);

    // The I/O thread's, for the connections.
    const HttpServer::Limits& Limits() const { return m_options.limits; }
    // Where plain connections read, one at a time: kReadBytes.
    static constexpr std::size_t kReadBytes = 64 * 1024;
    char* ReadBuffer() { return m_readBuffer.get(); }
    bool Stopping() const { return m_stopping; }
    // The Screen's verdict on a request's header (an exception is a 500).
    std::optional<HttpResponse> Screen(const HttpRequest& head);
    // Queues the Handler's call on the pool; false when maxPendingHandlers
    // requests wait already.
    bool Dispatch(HttpRequest request, Responder responder);
    // Runs a fallback answer on the pool.
    void RunFallback(std::function<void()> task);
    void CountAnswer(int status);
    void CountDroppedStream();
    // The connection is closed: no longer counted or stopped.
    void Closed(std::uint64_t id);

private:
    using Tcp = boost::asio::ip::tcp;

    bool Listen(const boost::asio::ip::address& address, int port, bool optional, std::string& error);
    void Accept(Tcp::acceptor& acceptor);
    void Accepted(Tcp::socket socket);
    void CloseListeners();
    // Asks every connection to stop (Close: at once, else as it may).
    void StopConnections(bool close);

    const HttpServer::Options m_options;
    const HttpServer::Screen m_screen;
    const HttpServer::Handler m_handler;
    // Destroyed explicitly first (with every connection its handlers hold),
    // while what they refer to is still there.
    std::unique_ptr<boost::asio::io_context> m_io;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> m_work;
#ifdef THERMAL_HTTP_TLS
    std::unique_ptr<boost::asio::ssl::context> m_tls;
#endif
    std::vector<std::unique_ptr<Tcp::acceptor>> m_listeners;
    int m_port = 0;
    HandlerPool m_pool;
    std::thread m_thread;
    std::mutex m_control;  // Bind, Start and Stop
    std::atomic<bool> m_tlsFailed{false};
    bool m_started = false;
    bool m_ended = false;
    std::atomic<bool> m_stopped{false};

    // The I/O thread's.
    std::unique_ptr<char[]> m_readBuffer{new char[kReadBytes]};
    bool m_stopping = false;
    std::uint64_t m_lastId = 0;
    std::map<std::uint64_t, std::weak_ptr<HttpConnection>> m_connections;

    mutable std::mutex m_statsMutex;
    std::condition_variable m_allClosed;
    HttpServer::Stats m_stats;
};
