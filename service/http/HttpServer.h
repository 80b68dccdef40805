#pragma once

#include "service/http/HttpRequest.h"
#include "service/http/HttpResponse.h"
#include "service/http/Responder.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

class HttpServerCore;

// An HTTP/1.1 server (optionally over TLS 1.2 and later) for a local service:
// one I/O thread reads every connection and writes every answer, and a small
// bounded pool runs the handlers, so slow, idle and flooding clients hold no
// handler thread. Every request is read under the limits below; a request
// that breaks one, or that the Screen refuses, is answered and its
// connection closed, so that nothing after it is read as another request.
// The server's own refusals are application/problem+json with a stable
// "code": bad-request (400), request-timeout (408), body-too-large (413),
// header-too-large (431), service-busy (503), internal (500: a handler or
// screen that threw, or gave an answer that is not one).
class HttpServer {
public:
    struct Limits {
        std::size_t maxHeaderLine = 8 * 1024;             // any one line of the header (request line or field)
        std::size_t maxHeaderFields = 100;                // fields in the header
        std::size_t maxHeaderBytes = 64 * 1024;           // the whole header
        std::chrono::milliseconds headerDeadline{10000};  // from the header's first byte to its end
                                                          // (on a new connection: from its accept)
        std::chrono::milliseconds idleTimeout{60000};     // a kept connection with no byte of a new request
        std::size_t maxBodyBytes = 1024 * 1024;           // for every transfer coding
        std::chrono::milliseconds bodyDeadline{30000};    // from the header's end to the body's end
        std::chrono::milliseconds writeDeadline{30000};   // for each write of an answer or a stream
        std::size_t maxConnections = 2048;                // beyond: accepted and closed at once
        std::size_t handlerThreads = 4;                   // the bounded pool that runs the Handler
        std::size_t maxPendingHandlers = 1024;  // requests waiting for a handler thread; beyond: 503 and close
    };
    struct TlsFiles {
        std::string certificate;  // PEM, the server's certificate (and its chain)
        std::string key;          // PEM, its private key
    };
    struct Options {
        std::string host;  // a numeric address (IPv4 or IPv6) or "localhost" (127.0.0.1 and ::1)
        int port = 0;      // 0: any free port
        std::optional<TlsFiles> tls;
        Limits limits;
    };
    // Called on the I/O thread once a request's header is read, before its
    // body: a response refuses the request; it is sent with
    // "Connection: close" and the connection is closed, so its body is never
    // read as a request. Must not block (no I/O, no locks held for long). An
    // exception it throws is answered with 500.
    using Screen = std::function<std::optional<HttpResponse>(const HttpRequest& head)>;
    // Called on the handler pool with the whole request; answers through the
    // Responder, now or later from any thread. An exception it throws before
    // answering is answered with 500.
    using Handler = std::function<void(HttpRequest request, Responder responder)>;

    // Nothing is bound or started yet. An empty screen lets every request through.
    HttpServer(Options options, Screen screen, Handler handler);
    // Stop().
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens (no SO_REUSEPORT, so a second server on the same
    // address fails; on Windows SO_EXCLUSIVEADDRUSE; a backlog of the
    // system's most, at least 128) and loads the certificate and key. False
    // with a message naming the address ("cannot listen on 127.0.0.1:8080:
    // Address already in use"), or the file that is missing or bad ("the
    // certificate /etc/ecrd/cert.pem: no such file").
    bool Bind(std::string& error);
    // Why Bind failed: the address (in use, not this machine's) or the TLS files.
    enum class BindProblem { Address, Tls };
    BindProblem LastBindProblem() const;
    // The port bound (after Bind).
    int Port() const;
    // Starts the I/O thread and the handler pool. Throws std::logic_error
    // when Bind has not succeeded.
    void Start();
    // Stops accepting at once, then answers nothing new: idle and slow
    // connections and streams are closed at once; a connection whose handler
    // is still working gets its answer if it comes within `grace`; then
    // everything is closed (the waiting handlers' OnAbandon called) and the
    // threads joined. Returns within grace + ~100 ms, unless a handler is
    // still running then: its thread is waited for. Safe to call again.
    void Stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

    // For a /metrics page.
    struct Stats {
        std::map<int, std::uint64_t> answersByStatus;  // answers sent, the server's own refusals included
        std::uint64_t connectionsOpen = 0;             // now
        std::uint64_t connectionsAccepted = 0;         // since the start, those closed at once included
        std::uint64_t streamsDropped = 0;              // streams closed for falling behind
    };
    // A snapshot; safe from any thread.
    Stats GetStats() const;

private:
    std::shared_ptr<HttpServerCore> m_core;
};
