#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

class HttpConnection;
class HttpServerCore;

// The body of an answer that goes on (server-sent events): what the producer
// pushes is written as it comes, on the I/O thread; while the stream is open
// and nothing was written for `heartbeat`, a comment line ":\n\n" is. Safe
// from any thread. Made by Responder::Stream.
class HttpStream {
public:
    HttpStream(const HttpStream&) = delete;
    HttpStream& operator=(const HttpStream&) = delete;

    // Queues data to write. False, and the stream closed and counted as
    // dropped, when more than maxBuffered bytes would wait unwritten: a slow
    // or stalled client never holds up the producer. False too once closed
    // (by Close, a drop, the client leaving or the server stopping). Never
    // blocks.
    bool Push(std::string_view data);
    // True until the stream is closed for any reason.
    bool Open() const;
    // Ends the stream: what was pushed is written, then the connection closed.
    void Close();

private:
    friend class HttpConnection;
    friend class HttpExchange;

    enum class State { Open, Closing, Dropped, Ended };

    // A stream on that connection; `open` false makes one closed from the start.
    static std::shared_ptr<HttpStream> Make(std::weak_ptr<HttpServerCore> core,
                                            std::weak_ptr<HttpConnection> connection, std::size_t maxBuffered,
                                            std::chrono::milliseconds heartbeat, bool open);
    HttpStream(std::weak_ptr<HttpServerCore> core, std::weak_ptr<HttpConnection> connection, std::size_t maxBuffered,
               std::chrono::milliseconds heartbeat, bool open);

    // Asks the connection (on the I/O thread) to look at the stream, unless
    // it will anyway. Called with m_mutex held.
    void WakeLocked();
    // The I/O thread's side. What waits, now being written (counted as
    // unwritten until Written); the connection looks again after Written.
    std::string Take();
    void Written();
    // The state as the connection sees it.
    State Current() const;
    // The connection is gone: the stream is closed.
    void End();
    std::chrono::milliseconds Heartbeat() const { return m_heartbeat; }
    std::size_t MaxBuffered() const { return m_maxBuffered; }

    const std::weak_ptr<HttpServerCore> m_core;
    const std::weak_ptr<HttpConnection> m_connection;
    const std::size_t m_maxBuffered;
    const std::chrono::milliseconds m_heartbeat;
    mutable std::mutex m_mutex;
    State m_state;
    std::string m_pending;
    std::size_t m_inFlight = 0;
    bool m_wakeQueued = false;
};
