#include "service/api/EventHandlers.h"

#include "ecr/commands/ECRTrafficDecoder.h"
#include "service/api/Answers.h"
#include "service/api/JobDocument.h"
#include "service/api/QueryString.h"
#include "service/api/RegisterHandlers.h"
#include "service/http/HttpStream.h"
#include "service/jobs/ServiceClock.h"
#include "service/registers/EventHub.h"
#include "service/registers/JobBoard.h"

#include <set>

namespace {

std::string Event(const char* name, const JsonValue& data)
{
    // Compact JSON holds no line break: one data line.
    return std::string("event: ") + name + "\ndata: " + data.Dump() + "\n\n";
}

}  // namespace

EventHandlers::EventHandlers(EventHub& hub, JobBoard& board, const ServiceClock& clock)
    : m_hub(hub), m_board(board), m_clock(clock)
{
    m_hub.SetFormat([this](const ServiceEvent& event) { return Text(event); });
}

std::string EventHandlers::Text(const ServiceEvent& event) const
{
    JsonValue data = JsonValue::Object();
    if (const RegisterChanged* changed = std::get_if<RegisterChanged>(&event)) {
        const RegisterWorker* worker = m_board.Worker(changed->registerId);
        return worker != nullptr ? Event("register", RegisterHandlers::Json(*worker, m_clock.NowMs())) : std::string();
    }
    if (const JobChanged* job = std::get_if<JobChanged>(&event)) {
        data.Set("id", job->jobId);
        data.Set("register", job->registerId);
        data.Set("kind", std::string(kJobKindNames.Name(job->kind)));
        data.Set("state", std::string(kJobStateNames.Name(job->state)));
        if (job->outcome)
            data.Set("outcome", std::string(kOutcomeNames.Name(*job->outcome)));
        if (!job->key.empty())
            data.Set("key", job->key);
        data.Set("at", JobDocument::Time(job->atMs));
        return Event("job", data);
    }
    if (const TrafficSeen* traffic = std::get_if<TrafficSeen>(&event)) {
        data.Set("register", traffic->registerId);
        data.Set("at", JobDocument::Time(traffic->atMs));
        data.Set("direction", std::string(ECRTrafficDecoder::Tag(traffic->direction)));
        data.Set("line", traffic->line);
        return Event("traffic", data);
    }
    data.Set("count", static_cast<std::int64_t>(std::get<EventsLost>(event).count));
    return Event("lost", data);
}

void EventHandlers::Events(const HttpRequest& request, const std::vector<std::string>&, const Responder& responder)
{
    const auto refuse = [&](Problem::Code code, const std::string& why) {
        responder.Send(Answers::Of(Problem(code, why)));
    };
    const std::optional<QueryString> query = QueryString::Parse(request.query);
    if (!query)
        return refuse(Problem::Code::BadRequest, "the query is not well formed");
    for (const std::string& name : query->Names()) {
        if (name != "watch")
            return refuse(Problem::Code::BadRequest, "no query parameter " + name + " (watch)");
    }
    // watch=kasa1,kasa2: the registers whose traffic the stream carries.
    std::set<std::string> watched;
    const std::string list = query->Get("watch").value_or("");
    for (std::size_t from = 0; from < list.size();) {
        const std::size_t comma = std::min(list.find(',', from), list.size());
        const std::string id = list.substr(from, comma - from);
        if (m_board.Worker(id) == nullptr)
            return refuse(Problem::Code::NotFound, "no register " + id);
        watched.insert(id);
        from = comma + 1;
    }
    if (m_hub.Subscribers() >= EventHub::kMostSubscribers)
        return refuse(Problem::Code::TooManyStreams,
                      std::to_string(EventHub::kMostSubscribers) + " event streams are open already; close one first");

    HttpResponse head;
    head.headers = {{"Content-Type", "text/event-stream"},
                    {"Cache-Control", "no-cache"},
                    {"X-Content-Type-Options", "nosniff"}};
    const std::shared_ptr<HttpStream> stream = responder.Stream(head, kBufferBytes);
    if (!stream->Open())
        return;
    // Every register's status first, so that the client starts from now.
    std::vector<ServiceEvent> first;
    for (const auto& worker : m_board.Workers())
        first.emplace_back(RegisterChanged{worker->Config().id});
    const bool subscribed = m_hub.Subscribe(
        std::move(watched), [stream](std::string_view text) { return stream->Push(text); }, std::move(first));
    if (!subscribed)
        stream->Close();
}
