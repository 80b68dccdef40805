#pragma once

#include "service/http/HttpResponse.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class HttpExchange;
class HttpStream;

// The way back to the client of one request, given to the Handler with it. A
// copyable handle, safe to use from any thread: the first Send (or Stream, or
// fallback) answers, later ones are ignored, and so is every one after the
// client left. When the last copy is dropped without an answer the client
// gets 500 ("internal"), so a request is never left waiting for ever.
class Responder {
public:
    // Made by the server for each request.
    explicit Responder(std::shared_ptr<HttpExchange> exchange);

    // Answers the request (the body in one write with the header). Never blocks.
    void Send(HttpResponse response) const;
    // If no answer came by `deadline`, `fallback` runs on the handler pool and
    // its answer is sent: how a request that waits up to N ms for something
    // answers when the time is up. A later call replaces an earlier one.
    void SendAt(std::chrono::steady_clock::time_point deadline, std::function<HttpResponse()> fallback) const;
    // `callback` is called once, on the I/O thread, when the client goes away
    // or the server stops before an answer was sent, so that a waiting handler
    // can forget its waiter. Given after that happened, it is called at once
    // (on the I/O thread while the server runs, else on the caller's).
    void OnAbandon(std::function<void()> callback) const;
    // Header fields added to whatever answers the request (Send, the
    // fallback, a stream's head): what goes with every answer of a request,
    // such as the CORS fields of an allowed origin.
    void AddHeaders(std::vector<std::pair<std::string, std::string>> headers) const;
    // Answers with a stream (text/event-stream, say): `head` goes out at once
    // without Content-Length, and the connection is closed when the stream
    // ends. Returns the stream; one already closed when the request was
    // answered before or its client has left.
    std::shared_ptr<HttpStream> Stream(HttpResponse head, std::size_t maxBuffered = 256 * 1024,
                                       std::chrono::milliseconds heartbeat = std::chrono::seconds(15)) const;

private:
    std::shared_ptr<HttpExchange> m_exchange;
};
