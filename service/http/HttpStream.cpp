#include "service/http/HttpStream.h"

#include "service/http/HttpConnection.h"
#include "service/http/HttpServerCore.h"

std::shared_ptr<HttpStream> HttpStream::Make(std::weak_ptr<HttpServerCore> core,
                                             std::weak_ptr<HttpConnection> connection, std::size_t maxBuffered,
                                             std::chrono::milliseconds heartbeat, bool open)
{
    return std::shared_ptr<HttpStream>(
        new HttpStream(std::move(core), std::move(connection), maxBuffered, heartbeat, open));
}

HttpStream::HttpStream(std::weak_ptr<HttpServerCore> core, std::weak_ptr<HttpConnection> connection,
                       std::size_t maxBuffered, std::chrono::milliseconds heartbeat, bool open)
    : m_core(std::move(core)),
      m_connection(std::move(connection)),
      m_maxBuffered(maxBuffered),
      m_heartbeat(heartbeat),
      m_state(open ? State::Open : State::Ended)
{
}

bool HttpStream::Push(std::string_view data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Open)
        return false;
    if (m_pending.size() + m_inFlight + data.size() > m_maxBuffered) {
        m_state = State::Dropped;
        m_pending.clear();
        // Told even when a wake is queued already: while a write waits on
        // the client, the connection looks at a queued wake without taking
        // what waits, and would otherwise learn of the drop only when its
        // write deadline ends it.
        m_wakeQueued = false;
        WakeLocked();
        return false;
    }
    m_pending.append(data.data(), data.size());
    WakeLocked();
    return true;
}

bool HttpStream::Open() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state == State::Open;
}

void HttpStream::Close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Open)
        return;
    m_state = State::Closing;
    WakeLocked();
}

void HttpStream::WakeLocked()
{
    if (m_wakeQueued)
        return;
    auto core = m_core.lock();
    if (!core)
        return;
    m_wakeQueued = core->Post([connection = m_connection] {
        if (auto live = connection.lock())
            live->StreamChanged();
    });
}

std::string HttpStream::Take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wakeQueued = false;
    m_inFlight += m_pending.size();
    std::string taken;
    taken.swap(m_pending);
    return taken;
}

void HttpStream::Written()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inFlight = 0;
}

HttpStream::State HttpStream::Current() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void HttpStream::End()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state = State::Ended;
    m_pending.clear();
}
