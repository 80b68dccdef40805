#include "service/api/RegisterHandlers.h"

#include "ecr/protocol/ECRStatusByte.h"
#include "service/api/Answers.h"
#include "service/api/JobDocument.h"
#include "service/api/QueryString.h"
#include "service/jobs/ServiceClock.h"
#include "service/registers/JobBoard.h"

#include <algorithm>
#include <chrono>

namespace {

const char* ReceiptWord(ECRFiscalCommands::ReceiptState receipt)
{
    switch (receipt) {
    case ECRFiscalCommands::ReceiptState::Opened:
    case ECRFiscalCommands::ReceiptState::FoundOpen: return "open";
    case ECRFiscalCommands::ReceiptState::Closed: return "closed";
    case ECRFiscalCommands::ReceiptState::Unknown: break;
    }
    return "unknown";
}

}  // namespace

JsonValue RegisterHandlers::Json(const RegisterWorker& worker, std::int64_t nowMs)
{
    const ServiceConfig::Register& reg = worker.Config();
    const RegisterWorker::Snapshot state = worker.State();
    const LinkKeeper::State& link = state.link;
    JsonValue json = JsonValue::Object();
    json.Set("id", reg.id);
    json.Set("port", reg.port);
    json.Set("baud", reg.baud);
    JsonValue& linkJson = json.Set("link", JsonValue::Object());
    linkJson.Set("state", link.Word());
    if (link.changedMs != 0)
        linkJson.Set("since", JobDocument::Time(link.changedMs));
    if (!link.open && !link.error.empty()) {
        linkJson.Set("error", link.error);
        linkJson.Set("nextAttempt", JobDocument::Time(link.nextOpenMs));
    }
    if (link.statusByte >= 0)
        linkJson.Set("statusByte", link.statusByte);
    linkJson.Set("reopenings", static_cast<std::int64_t>(link.reopenings));

    // What the register itself last said.
    JsonValue& seen = json.Set("register", JsonValue::Object());
    const ECRStatusByte::Meaning meaning = link.statusByte >= 0
                                               ? ECRStatusByte::Of(static_cast<unsigned char>(link.statusByte))
                                               : ECRStatusByte::Meaning::Unknown;
    seen.Set("state", ECRStatusByte::Name(meaning));
    if (link.statusMs != 0)
        seen.Set("stateAt", JobDocument::Time(link.statusMs));
    if (link.lastProblem) {
        JsonValue& problem = seen.Set("lastProblem", JsonValue::Object());
        problem.Set("code", link.lastProblem->code);
        problem.Set("message", link.lastProblem->message);
        problem.Set("at", JobDocument::Time(link.lastProblem->atMs));
    } else {
        seen.Set("lastProblem", JsonValue());
    }
    seen.Set("receipt", link.open ? ReceiptWord(link.receipt) : "unknown");
    if (link.lastExchangeMs != 0) {
        seen.Set("lastExchange", JobDocument::Time(link.lastExchangeMs));
        seen.Set("lastExchangeAgeMs", std::max<std::int64_t>(0, nowMs - link.lastExchangeMs));
    }
    json.Set("runningJob", state.runningJob.empty() ? JsonValue() : JsonValue(state.runningJob));
    json.Set("queued", state.queued);
    json.Set("unsettled", state.unsettled);
    return json;
}

void RegisterHandlers::List(const HttpRequest&, const std::vector<std::string>&, const Responder& responder)
{
    JsonValue body = JsonValue::Object();
    JsonValue& list = body.Set("registers", JsonValue::Array());
    for (const auto& worker : m_board.Workers())
        list.Push(Json(*worker, m_clock.NowMs()));
    responder.Send(Answers::Json(200, body));
}

void RegisterHandlers::Status(const HttpRequest& request, const std::vector<std::string>& params,
                              const Responder& responder)
{
    RegisterWorker* worker = m_board.Worker(params.at(0));
    if (worker == nullptr)
        return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no register " + params.at(0))));
    const std::optional<QueryString> query = QueryString::Parse(request.query);
    const std::optional<std::string> probe = query ? query->Get("probe") : std::nullopt;
    if (!query || (probe && *probe != "true" && *probe != "false"))
        return responder.Send(Answers::Of(Problem(Problem::Code::BadRequest, "probe is true or false")));
    const ServiceClock& clock = m_clock;
    const auto answer = [worker, &clock] { return Answers::Json(200, Json(*worker, clock.NowMs())); };
    // Asked of the register only when no job holds the line: a running job
    // is not held up, and the answer then says how old what it shows is.
    if (probe != "true" || worker->Busy())
        return responder.Send(answer());
    responder.SendAt(std::chrono::steady_clock::now() + kProbeWait, answer);
    worker->Probe([responder, answer] { responder.Send(answer()); });
}
