#include "service/http/HttpServer.h"

#include "service/http/HttpServerCore.h"

HttpServer::HttpServer(Options options, Screen screen, Handler handler)
    : m_core(std::make_shared<HttpServerCore>(std::move(options), std::move(screen), std::move(handler)))
{
}

HttpServer::~HttpServer()
{
    Stop();
}

bool HttpServer::Bind(std::string& error)
{
    return m_core->Bind(error);
}

HttpServer::BindProblem HttpServer::LastBindProblem() const
{
    return m_core->TlsFailed() ? BindProblem::Tls : BindProblem::Address;
}

int HttpServer::Port() const
{
    return m_core->Port();
}

void HttpServer::Start()
{
    m_core->Start();
}

void HttpServer::Stop(std::chrono::milliseconds grace)
{
    m_core->Stop(grace);
}

HttpServer::Stats HttpServer::GetStats() const
{
    return m_core->GetStats();
}
