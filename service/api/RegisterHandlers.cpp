#include "service/api/RegisterHandlers.h"

#include "service/api/Answers.h"
#include "service/api/JobDocument.h"
#include "service/registers/JobBoard.h"

namespace {

JsonValue RegisterJson(const RegisterWorker& worker)
{
    const ServiceConfig::Register& reg = worker.Config();
    const RegisterWorker::Snapshot state = worker.State();
    JsonValue json = JsonValue::Object();
    json.Set("id", reg.id);
    json.Set("port", reg.port);
    json.Set("baud", reg.baud);
    JsonValue& link = json.Set("link", JsonValue::Object());
    link.Set("state", state.link.open ? "open" : "down");
    if (state.link.changedMs != 0)
        link.Set("since", JobDocument::Time(state.link.changedMs));
    if (!state.link.open && !state.link.error.empty()) {
        link.Set("error", state.link.error);
        link.Set("nextAttempt", JobDocument::Time(state.link.nextOpenMs));
    }
    if (state.link.statusByte >= 0)
        link.Set("statusByte", state.link.statusByte);
    json.Set("runningJob", state.runningJob.empty() ? JsonValue() : JsonValue(state.runningJob));
    json.Set("queued", state.queued);
    json.Set("unsettled", state.unsettled);
    return json;
}

}  // namespace

void RegisterHandlers::List(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    JsonValue body = JsonValue::Object();
    JsonValue& list = body.Set("registers", JsonValue::Array());
    for (const auto& worker : m_board.Workers())
        list.Push(RegisterJson(*worker));
    responder.Send(Answers::Json(200, body));
}

void RegisterHandlers::Status(const HttpRequest&, const std::vector<std::string>& params, const Responder& responder)
{
    const RegisterWorker* worker = m_board.Worker(params.at(0));
    if (worker == nullptr)
        return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no register " + params.at(0))));
    responder.Send(Answers::Json(200, RegisterJson(*worker)));
}
