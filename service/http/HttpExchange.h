#pragma once

#include "service/http/HttpResponse.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class HttpConnection;
class HttpServerCore;
class HttpStream;

// One request's answer as it stands, shared by its Responders (any thread)
// and its connection (the I/O thread): open until the first answer or until
// the client leaves, and never both. What a Responder does is passed to the
// connection on the I/O thread; the connection holds this only weakly, so
// that when the last Responder is dropped unanswered the client gets 500.
class HttpExchange : public std::enable_shared_from_this<HttpExchange> {
public:
    HttpExchange(std::weak_ptr<HttpServerCore> core, std::weak_ptr<HttpConnection> connection, std::uint64_t id);
    // Unanswered and not abandoned: the handler dropped it; 500.
    ~HttpExchange();
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    // Responder's calls (see there).
    void Send(HttpResponse response);
    void SendAt(std::chrono::steady_clock::time_point deadline, std::function<HttpResponse()> fallback);
    void OnAbandon(std::function<void()> callback);
    void AddHeaders(std::vector<std::pair<std::string, std::string>> headers);
    std::shared_ptr<HttpStream> Stream(HttpResponse head, std::size_t maxBuffered, std::chrono::milliseconds heartbeat);

    // The I/O thread's: the client left or the server stopped before an
    // answer. Returns the callback to call (empty when answered before).
    std::function<void()> Abandon();
    std::uint64_t Id() const { return m_id; }

private:
    enum class State { Open, Answered, Abandoned };

    // Open -> Answered; false when it was not open.
    bool Claim();
    // The headers AddHeaders gave, appended to an answer.
    void Decorate(HttpResponse& response) const;
    // Runs `task` on the I/O thread, with the connection if it is still there.
    void ToConnection(std::function<void(HttpConnection&)> task) const;

    const std::weak_ptr<HttpServerCore> m_core;
    const std::weak_ptr<HttpConnection> m_connection;
    const std::uint64_t m_id;
    mutable std::mutex m_mutex;
    State m_state = State::Open;
    std::function<void()> m_onAbandon;
    std::vector<std::pair<std::string, std::string>> m_extraHeaders;
};
