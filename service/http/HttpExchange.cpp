#include "service/http/HttpExchange.h"

#include "service/http/HttpConnection.h"
#include "service/http/HttpServerCore.h"
#include "service/http/HttpStream.h"
#include "service/http/Refusal.h"

HttpExchange::HttpExchange(std::weak_ptr<HttpServerCore> core, std::weak_ptr<HttpConnection> connection,
                           std::uint64_t id)
    : m_core(std::move(core)), m_connection(std::move(connection)), m_id(id)
{
}

HttpExchange::~HttpExchange()
{
    if (m_state != State::Open)
        return;
    const std::uint64_t id = m_id;
    ToConnection([id](HttpConnection& connection) {
        connection.Answer(id, Refusal{Refusal::Kind::Internal, "the request's handler gave no answer"}.Answer());
    });
}

bool HttpExchange::Claim()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Open)
        return false;
    m_state = State::Answered;
    m_onAbandon = nullptr;
    return true;
}

void HttpExchange::ToConnection(std::function<void(HttpConnection&)> task) const
{
    if (auto core = m_core.lock()) {
        core->Post([connection = m_connection, task = std::move(task)] {
            if (auto live = connection.lock())
                task(*live);
        });
    }
}

void HttpExchange::AddHeaders(std::vector<std::pair<std::string, std::string>> headers)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& header : headers)
        m_extraHeaders.push_back(std::move(header));
}

void HttpExchange::Decorate(HttpResponse& response) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    response.headers.insert(response.headers.end(), m_extraHeaders.begin(), m_extraHeaders.end());
}

void HttpExchange::Send(HttpResponse response)
{
    if (!Claim())
        return;
    Decorate(response);
    ToConnection([id = m_id, response = std::move(response)](HttpConnection& connection) mutable {
        connection.Answer(id, std::move(response));
    });
}

void HttpExchange::SendAt(std::chrono::steady_clock::time_point deadline, std::function<HttpResponse()> fallback)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_state != State::Open)
            return;
    }
    // The connection keeps this exchange until the deadline, so the fallback
    // answers even when every Responder has been dropped meanwhile.
    auto decorated = [self = shared_from_this(), fallback = std::move(fallback)] {
        HttpResponse response = fallback();
        self->Decorate(response);
        return response;
    };
    ToConnection([self = shared_from_this(), deadline, decorated = std::move(decorated)](HttpConnection& connection) {
        connection.Fallback(self, deadline, decorated);
    });
}

void HttpExchange::OnAbandon(std::function<void()> callback)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_state == State::Open)
            m_onAbandon = std::move(callback);
        if (m_state != State::Abandoned)
            return;
    }
    // Abandoned already: at once, on the I/O thread while there is one.
    auto core = m_core.lock();
    if (!core || !core->Post(callback))
        callback();
}

std::shared_ptr<HttpStream> HttpExchange::Stream(HttpResponse head, std::size_t maxBuffered,
                                                 std::chrono::milliseconds heartbeat)
{
    const bool claimed = Claim();
    Decorate(head);
    auto stream = HttpStream::Make(m_core, m_connection, maxBuffered, heartbeat, claimed);
    if (!claimed)
        return stream;
    auto core = m_core.lock();
    const bool posted = core && core->Post([connection = m_connection, id = m_id, stream, head = std::move(head)] {
        if (auto live = connection.lock())
            live->StartStream(id, stream, head);
        else
            stream->End();
    });
    if (!posted)
        stream->End();
    return stream;
}

std::function<void()> HttpExchange::Abandon()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state != State::Open)
        return nullptr;
    m_state = State::Abandoned;
    return std::move(m_onAbandon);
}
