#include "service/http/Responder.h"

#include "service/http/HttpExchange.h"

Responder::Responder(std::shared_ptr<HttpExchange> exchange) : m_exchange(std::move(exchange)) {}

void Responder::Send(HttpResponse response) const
{
    m_exchange->Send(std::move(response));
}

void Responder::SendAt(std::chrono::steady_clock::time_point deadline, std::function<HttpResponse()> fallback) const
{
    m_exchange->SendAt(deadline, std::move(fallback));
}

void Responder::OnAbandon(std::function<void()> callback) const
{
    m_exchange->OnAbandon(std::move(callback));
}

void Responder::AddHeaders(std::vector<std::pair<std::string, std::string>> headers) const
{
    m_exchange->AddHeaders(std::move(headers));
}

std::shared_ptr<HttpStream> Responder::Stream(HttpResponse head, std::size_t maxBuffered,
                                              std::chrono::milliseconds heartbeat) const
{
    return m_exchange->Stream(std::move(head), maxBuffered, heartbeat);
}
