#include "service/api/ServiceHandlers.h"

#include "service/api/Answers.h"
#include "service/http/HttpServer.h"
#include "service/metrics/ServiceMetrics.h"
#include "service/registers/JobBoard.h"

bool ServiceHandlers::JournalWritable(std::string& why)
{
    for (const auto& worker : m_board.Workers()) {
        why = worker->State().journalFailure;
        if (!why.empty())
            return false;
    }
    if (!m_journal.Writable()) {
        why = "another program holds the journal's write lock";
        return false;
    }
    return true;
}

void ServiceHandlers::Health(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    std::string why;
    const bool writable = JournalWritable(why);
    JsonValue body = JsonValue::Object();
    body.Set("status", writable ? "ok" : "unavailable");
    JsonValue& journal = body.Set("journal", JsonValue::Object());
    journal.Set("writable", writable);
    if (!writable)
        journal.Set("error", why);
    JsonValue& registers = body.Set("registers", JsonValue::Array());
    for (const auto& worker : m_board.Workers()) {
        const RegisterWorker::Snapshot state = worker->State();
        JsonValue item = JsonValue::Object();
        item.Set("id", worker->Config().id);
        item.Set("link", state.link.Word());
        if (!state.link.open && !state.link.error.empty())
            item.Set("error", state.link.error);
        registers.Push(std::move(item));
    }
    responder.Send(Answers::Json(writable ? 200 : 503, body));
}

void ServiceHandlers::Metrics(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    std::vector<ServiceMetrics::RegisterGauges> registers;
    for (const auto& worker : m_board.Workers()) {
        const RegisterWorker::Snapshot state = worker->State();
        registers.push_back(
            {worker->Config().id, state.link.open, state.link.reopenings, state.queued, state.unsettled});
    }
    ServiceMetrics::HttpFigures http;
    if (m_server != nullptr) {
        const HttpServer::Stats stats = m_server->GetStats();
        http = {stats.answersByStatus, stats.connectionsOpen, stats.streamsDropped};
    }
    std::string why;
    HttpResponse answer;
    answer.headers.emplace_back("Content-Type", "text/plain; version=0.0.4; charset=utf-8");
    answer.body = m_metrics.Render(registers, JournalWritable(why), http);
    responder.Send(answer);
}
