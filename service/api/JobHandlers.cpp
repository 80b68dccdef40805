#include "service/api/JobHandlers.h"

#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "service/api/Answers.h"
#include "service/api/JobDocument.h"
#include "service/api/JobWait.h"
#include "service/api/QueryString.h"
#include "service/api/RequestFaults.h"
#include "service/api/RequestReader.h"
#include "service/registers/JobBoard.h"

#include <algorithm>

namespace {

// ?wait=MS bounded by most, or fallback when not given; the problem otherwise.
std::variant<std::int32_t, Problem> Wait(const HttpRequest& request, std::int32_t fallback, std::int32_t most)
{
    const std::optional<QueryString> query = QueryString::Parse(request.query);
    if (!query)
        return Problem(Problem::Code::BadRequest, "the query is not well formed");
    const std::optional<std::string> text = query->Get("wait");
    if (!text)
        return fallback;
    if (text->empty() || text->size() > 9 || text->find_first_not_of("0123456789") != std::string::npos)
        return Problem(Problem::Code::BadRequest, "wait is a number of milliseconds, not " + *text);
    return std::min<std::int32_t>(std::stoi(*text), most);
}

bool IsKey(const std::string& key)
{
    return !key.empty() && key.size() <= 255 &&
           std::all_of(key.begin(), key.end(), [](char c) { return c >= '!' && c <= '~'; });
}

}  // namespace

RouteTable::Handler JobHandlers::Submit(JobKind kind)
{
    return [this, kind](const HttpRequest& request, const std::vector<std::string>& params,
                        const Responder& responder) { Make(kind, request, params.at(0), responder); };
}

void JobHandlers::Make(JobKind kind, const HttpRequest& request, const std::string& registerId,
                       const Responder& responder)
{
    const auto refuse = [&](Problem problem) { responder.Send(Answers::Of(problem)); };
    if (m_board.Worker(registerId) == nullptr)
        return refuse(Problem(Problem::Code::NotFound, "no register " + registerId));

    JobRecord job;
    job.registerId = registerId;
    job.kind = kind;
    if (request.method != "GET") {
        const std::string* key = request.headers.Find("Idempotency-Key");
        job.idempotencyKey = key != nullptr ? *key : std::string();
        if (job.idempotencyKey.empty() && request.method == "POST")
            return refuse(Problem(Problem::Code::IdempotencyKeyMissing,
                                  "give every POST an Idempotency-Key header, the same for a retry of the same "
                                  "request, so that it is never carried out twice"));
        if (!job.idempotencyKey.empty() && !IsKey(job.idempotencyKey))
            return refuse(
                Problem(Problem::Code::BadRequest, "an Idempotency-Key is 1 to 255 visible ASCII characters"));
    }
    const auto wait = Wait(request, m_config.defaultWaitMs, m_config.maxWaitMs);
    if (const Problem* problem = std::get_if<Problem>(&wait))
        return refuse(*problem);

    JsonValue body = JsonValue::Object();
    if (!request.body.empty()) {
        JsonReader::Limits limits;
        limits.maxBytes = m_config.maxBodyBytes;
        limits.maxDepth = 16;
        limits.decimals = true;
        std::string error;
        if (!JsonReader::Parse(request.body, body, error, limits))
            return refuse(Problem(Problem::Code::BadRequest, "the body is not JSON: " + error)
                              .SetErrors({{"", "the body is not JSON: " + error}}));
    }
    JobRequest parsed;
    try {
        parsed = RequestReader::Read(kind, body, m_config.importFolder);
    } catch (const RequestFaults& faults) {
        std::vector<Problem::Fault> errors;
        for (const RequestFaults::Fault& fault : faults.Faults())
            errors.push_back({fault.pointer, fault.message});
        const std::string detail = errors.size() == 1
                                       ? faults.message
                                       : std::to_string(errors.size()) + " faults, the first: " + faults.message;
        return refuse(Problem(Problem::Code::BadRequest, detail).SetErrors(std::move(errors)));
    } catch (const JsonFields::Refusal& refusal) {
        return refuse(Problem(Problem::Code::BadRequest, refusal.message).SetErrors({{"", refusal.message}}));
    }
    job.request = request.method + " " + request.path + "\n" + body.Dump();

    JobBoard::Submitted submitted = JobBoard::Submitted::Created;
    try {
        m_board.PruneNow();
        submitted = m_board.Submit(job, std::move(parsed));
    } catch (const JobJournal::Failure& failure) {
        return refuse(Problem(Problem::Code::JournalUnavailable, std::string(failure.what()) + "; nothing was sent"));
    }
    switch (submitted) {
    case JobBoard::Submitted::Conflict:
        return refuse(Problem(Problem::Code::IdempotencyConflict,
                              "the Idempotency-Key " + job.idempotencyKey +
                                  " was used for another request to this register; nothing was sent"));
    case JobBoard::Submitted::Stopping:
        return refuse(Problem(Problem::Code::ServiceStopped, "the service is stopping; nothing was queued"));
    case JobBoard::Submitted::Busy: {
        HttpResponse busy = Answers::Of(
            Problem(Problem::Code::RegisterBusy, std::to_string(m_config.maxQueue) + " jobs wait for register " +
                                                     registerId + " already; nothing was queued"));
        busy.headers.emplace_back("Retry-After", "1");
        return responder.Send(busy);
    }
    case JobBoard::Submitted::Created:
    case JobBoard::Submitted::Existing: break;
    }
    JobWait::Answer(m_board, job.id, std::get<std::int32_t>(wait), responder,
                    [job](const std::optional<JobRecord>& now) { return Answers::JobEnded(now ? *now : job); });
}

void JobHandlers::Show(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder)
{
    const auto wait = Wait(request, 0, m_config.maxWaitMs);
    if (const Problem* problem = std::get_if<Problem>(&wait))
        return responder.Send(Answers::Of(*problem));
    const std::string jobId = params.at(0);
    const std::int64_t keep = m_config.keepResultsHours;
    JobWait::Answer(m_board, jobId, std::get<std::int32_t>(wait), responder,
                    [keep, jobId](const std::optional<JobRecord>& job) { return Answers::JobShown(job, keep, jobId); });
}

void JobHandlers::List(const HttpRequest& request, const std::vector<std::string>&, const Responder& responder)
{
    const auto refuse = [&](const std::string& why) {
        responder.Send(Answers::Of(Problem(Problem::Code::BadRequest, why)));
    };
    const std::optional<QueryString> query = QueryString::Parse(request.query);
    if (!query)
        return refuse("the query is not well formed");
    for (const std::string& name : query->Names()) {
        if (name != "register" && name != "state" && name != "key" && name != "since" && name != "before" &&
            name != "limit")
            return refuse("no query parameter " + name + " (register, state, key, since, before, limit)");
    }
    JobJournal::Filter filter;
    filter.registerId = query->Get("register").value_or("");
    if (!filter.registerId.empty() && m_board.Worker(filter.registerId) == nullptr)
        return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no register " + filter.registerId)));
    if (const std::optional<std::string> state = query->Get("state")) {
        filter.state = kJobStateNames.Find(*state);
        if (!filter.state)
            return refuse("state is queued, running, done, failed or unknown, not " + *state);
    }
    filter.key = query->Get("key").value_or("");
    if (const std::optional<std::string> since = query->Get("since")) {
        const std::optional<std::int64_t> ms = JobDocument::ParseTime(*since);
        if (!ms)
            return refuse("since is a time such as 2026-03-15T09:41:07Z, not " + *since);
        filter.sinceMs = *ms;
    }
    if (const std::optional<std::string> before = query->Get("before")) {
        // The cursor of the page before: a job's creation time (ms) and its id.
        const std::size_t dash = before->find('-');
        const std::string ms = before->substr(0, dash);
        if (dash == std::string::npos || ms.empty() || ms.size() > 15 ||
            ms.find_first_not_of("0123456789") != std::string::npos)
            return refuse("before is the cursor a page's next address gives");
        filter.before = std::make_pair(std::stoll(ms), before->substr(dash + 1));
    }
    if (const std::optional<std::string> limit = query->Get("limit")) {
        if (limit->empty() || limit->size() > 3 || limit->find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(*limit) < 1 || std::stoul(*limit) > kMostPerPage)
            return refuse("limit is 1 to " + std::to_string(kMostPerPage) + ", not " + *limit);
        filter.limit = std::stoul(*limit);
    }
    std::vector<JobRecord> jobs;
    try {
        jobs = m_board.List(filter);
    } catch (const JobJournal::Failure& failure) {
        return responder.Send(Answers::Of(Problem(Problem::Code::Internal, failure.what())));
    }
    JsonValue body = JsonValue::Object();
    JsonValue& list = body.Set("jobs", JsonValue::Array());
    for (const JobRecord& job : jobs)
        list.Push(JobDocument::Of(job));
    if (jobs.size() == filter.limit) {
        // The same query from after the last job of this page.
        std::string next = "/jobs?limit=" + std::to_string(filter.limit);
        for (const char* name : {"register", "state", "key", "since"}) {
            if (const std::optional<std::string> value = query->Get(name))
                next += std::string("&") + name + "=" + QueryString::Encode(*value);
        }
        next += "&before=" + std::to_string(jobs.back().createdMs) + "-" + jobs.back().id;
        body.Set("next", next);
    } else {
        body.Set("next", JsonValue());
    }
    responder.Send(Answers::Json(200, body));
}
