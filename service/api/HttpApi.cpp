#include "service/api/HttpApi.h"

#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "service/api/JobDocument.h"
#include "service/api/RequestReader.h"
#include "service/jobs/JobJson.h"
#include "service/jobs/Problem.h"
#include "service/registers/JobBoard.h"

#include <algorithm>
#include <cctype>
#include <httplib.h>
#include <regex>

namespace {

const std::string kRegisterId = "([A-Za-z0-9_-]{1,32})";

void Send(httplib::Response& response, int status, const JsonValue& body, const char* type = "application/json")
{
    response.status = status;
    response.set_content(body.Dump(true) + "\n", type);
}

void SendProblem(httplib::Response& response, const Problem& problem)
{
    Send(response, Problem::Status(problem.GetCode()), JobJson::ProblemDocument(problem), "application/problem+json");
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Equal texts, compared in a time that does not depend on where they differ.
bool SameSecret(const std::string& given, const std::string& expected)
{
    unsigned difference = given.size() == expected.size() ? 0u : 1u;
    for (std::size_t i = 0; i < given.size(); ++i)
        difference |= static_cast<unsigned char>(given[i]) ^
                      static_cast<unsigned char>(expected.empty() ? 0 : expected[i % expected.size()]);
    return difference == 0;
}

// The host a Host header names, without its port.
std::string HostOf(const std::string& header)
{
    if (!header.empty() && header.front() == '[') {
        const std::size_t close = header.find(']');
        return close == std::string::npos ? header : header.substr(1, close - 1);
    }
    return header.substr(0, header.find(':'));
}

// A JSON body, or the problem with it. An empty body reads as {}.
bool ReadBody(const httplib::Request& request, const ServiceConfig& config, JsonValue& body,
              httplib::Response& response)
{
    if (request.body.empty()) {
        body = JsonValue::Object();
        return true;
    }
    const std::string type = Lower(request.get_header_value("Content-Type"));
    if (type.rfind("application/json", 0) != 0) {
        SendProblem(response,
                    Problem(Problem::Code::UnsupportedMediaType,
                            "the body is \"" + request.get_header_value("Content-Type") + "\", not application/json"));
        return false;
    }
    JsonReader::Limits limits;
    limits.maxBytes = config.maxBodyBytes;
    limits.maxDepth = 16;
    limits.decimals = true;
    std::string error;
    if (!JsonReader::Parse(request.body, body, error, limits)) {
        SendProblem(response, Problem(Problem::Code::BadRequest, "the body is not JSON: " + error));
        return false;
    }
    return true;
}

// ?wait=MS, bounded by the configuration; false (answered) for anything else.
bool ReadWait(const httplib::Request& request, std::int32_t fallback, std::int32_t most, std::int32_t& wait,
              httplib::Response& response)
{
    wait = fallback;
    if (!request.has_param("wait"))
        return true;
    const std::string text = request.get_param_value("wait");
    static const std::regex digits("[0-9]{1,9}");
    if (!std::regex_match(text, digits)) {
        SendProblem(response, Problem(Problem::Code::BadRequest, "wait is a number of milliseconds, not " + text));
        return false;
    }
    wait = std::min<std::int32_t>(std::stoi(text), most);
    return true;
}

void SendJob(httplib::Response& response, const JobRecord& job)
{
    response.set_header("Location", "/jobs/" + job.id);
    JsonValue doc = JobDocument::Of(job);
    if (!job.Finished()) {
        response.set_header("Retry-After", "1");
        Send(response, 202, doc);
        return;
    }
    if (job.state == JobState::Done || !job.end.problem) {
        Send(response, 200, doc);
        return;
    }
    // The problem, with the job it ended and what the job says besides.
    JsonValue body = JobJson::ProblemDocument(*job.end.problem);
    body.Set("job", job.id);
    body.Set("state", std::string(kJobStateNames.Name(job.state)));
    const JsonValue end = JobJson::End(job.end);
    for (const char* key : {"outcome", "receipt", "seen", "result"}) {
        if (const JsonValue* value = end.Find(key))
            body.Set(key, *value);
    }
    Send(response, Problem::Status(job.end.problem->GetCode()), body, "application/problem+json");
}

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

HttpApi::HttpApi(const ServiceConfig& config, JobBoard& board)
    : m_config(config), m_board(board), m_server(std::make_unique<httplib::Server>())
{
    Register();
}

HttpApi::~HttpApi() = default;

const std::vector<HttpApi::Route>& HttpApi::Routes()
{
    static const std::vector<Route> routes{
        {"GET", "/registers", false, JobKind::Receipt},
        {"GET", "/registers/{id}/status", false, JobKind::Receipt},
        {"POST", "/registers/{id}/receipts", true, JobKind::Receipt},
        {"POST", "/registers/{id}/reports/daily", true, JobKind::DailyReport},
        {"POST", "/registers/{id}/reports/periodic", true, JobKind::PeriodicReport},
        {"GET", "/registers/{id}/clock", true, JobKind::ReadClock},
        {"PUT", "/registers/{id}/clock", true, JobKind::SetClock},
        {"GET", "/registers/{id}/header", true, JobKind::ReadHeader},
        {"PUT", "/registers/{id}/header", true, JobKind::SetHeader},
        {"GET", "/registers/{id}/articles", true, JobKind::ReadArticles},
        {"POST", "/registers/{id}/articles", true, JobKind::ImportArticles},
        {"POST", "/registers/{id}/raw", true, JobKind::Raw},
        {"GET", "/jobs/{id}", false, JobKind::Receipt},
    };
    return routes;
}

void HttpApi::Register()
{
    httplib::Server& server = *m_server;
    // Waiting callers hold a thread each: enough for many tills at once.
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.set_payload_max_length(m_config.maxBodyBytes);
    // A till's connection is kept for many requests: each one the server closes
    // is a request a client may find cut off and must send again.
    server.set_keep_alive_max_count(100);
    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        return Screen(request, response) ? httplib::Server::HandlerResponse::Handled
                                         : httplib::Server::HandlerResponse::Unhandled;
    });
    // Answers httplib gives by itself (a body over the limit, say) as problems too.
    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
            if (!response.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            Problem::Code code = Problem::Code::Internal;
            std::string detail = "the service failed to answer";
            if (response.status == 413) {
                code = Problem::Code::BodyTooLarge;
                detail = "the body is larger than this service takes; nothing was sent";
            } else if (response.status == 404) {
                code = Problem::Code::NotFound;
                detail = "no such path";
            } else if (response.status < 500) {
                code = Problem::Code::BadRequest;
                detail = "the request could not be read; nothing was sent";
            }
            SendProblem(response, Problem(code, detail));
            return httplib::Server::HandlerResponse::Handled;
        }));

    for (const Route& route : Routes()) {
        std::string pattern = route.path;
        const std::size_t id = pattern.find("{id}");
        if (id != std::string::npos)
            pattern.replace(id, 4, route.path.rfind("/jobs", 0) == 0 ? "([0-9a-f]{1,64})" : kRegisterId);
        httplib::Server::Handler handler;
        if (route.makesJob) {
            const JobKind kind = route.kind;
            handler = [this, kind](const httplib::Request& request, httplib::Response& response) {
                Job(request, response, kind);
            };
        } else if (route.path == "/jobs/{id}") {
            handler = [this](const httplib::Request& request, httplib::Response& response) {
                JobStatus(request, response);
            };
        } else {
            handler = [this](const httplib::Request& request, httplib::Response& response) {
                Registers(request, response);
            };
        }
        if (route.method == "GET")
            server.Get(pattern, handler);
        else if (route.method == "POST")
            server.Post(pattern, handler);
        else if (route.method == "PUT")
            server.Put(pattern, handler);
    }
    const auto noRoute = [this](const httplib::Request& request, httplib::Response& response) {
        NoRoute(request, response);
    };
    server.Get(".*", noRoute);
    server.Post(".*", noRoute);
    server.Put(".*", noRoute);
    server.Patch(".*", noRoute);
    server.Delete(".*", noRoute);
    server.Options(".*", noRoute);
}

bool HttpApi::Screen(const httplib::Request& request, httplib::Response& response) const
{
    // A page elsewhere could reach a loopback service through a name of its
    // own that resolves to it (DNS rebinding): only loopback names are served.
    if (m_config.ListensOnLoopback() && !ServiceConfig::IsLoopback(HostOf(request.get_header_value("Host")))) {
        SendProblem(response, Problem(Problem::Code::Forbidden, "this service answers only to a loopback host name"));
        return true;
    }
    if (request.has_header("Origin")) {
        const std::string origin = request.get_header_value("Origin");
        const auto& allowed = m_config.allowedOrigins;
        if (std::find(allowed.begin(), allowed.end(), origin) == allowed.end()) {
            SendProblem(response, Problem(Problem::Code::Forbidden, "the origin " + origin + " is not allowed"));
            return true;
        }
        response.set_header("Access-Control-Allow-Origin", origin);
        response.set_header("Vary", "Origin");
        response.set_header("Access-Control-Expose-Headers", "Location, Retry-After");
        if (request.method == "OPTIONS") {
            response.set_header("Access-Control-Allow-Methods", "GET, POST, PUT");
            response.set_header("Access-Control-Allow-Headers", "Authorization, Content-Type, Idempotency-Key");
            response.set_header("Access-Control-Max-Age", "600");
            response.status = 204;
            return true;
        }
    }
    if (!m_config.token.empty()) {
        const std::string given = request.get_header_value("Authorization");
        const std::string scheme = "Bearer ";
        if (given.size() <= scheme.size() || Lower(given.substr(0, scheme.size())) != Lower(scheme) ||
            !SameSecret(given.substr(scheme.size()), m_config.token)) {
            response.set_header("WWW-Authenticate", "Bearer");
            SendProblem(response, Problem(Problem::Code::Unauthorized,
                                          "give the service's token as "
                                          "\"Authorization: Bearer TOKEN\""));
            return true;
        }
    }
    return false;
}

void HttpApi::NoRoute(const httplib::Request& request, httplib::Response& response) const
{
    std::vector<std::string> allowed;
    for (const Route& route : Routes()) {
        std::string pattern = std::regex_replace(route.path, std::regex(R"(\{id\})"), "[^/]+");
        if (std::regex_match(request.path, std::regex(pattern)))
            allowed.push_back(route.method);
    }
    if (allowed.empty()) {
        SendProblem(response, Problem(Problem::Code::NotFound, "no such path: " + request.path));
        return;
    }
    std::string allow;
    for (const std::string& method : allowed)
        allow += (allow.empty() ? "" : ", ") + method;
    response.set_header("Allow", allow);
    SendProblem(response, Problem(Problem::Code::MethodNotAllowed,
                                  request.method + " is not allowed on " + request.path + "; allowed: " + allow));
}

void HttpApi::Registers(const httplib::Request& request, httplib::Response& response) const
{
    if (request.matches.size() < 2) {
        JsonValue body = JsonValue::Object();
        JsonValue& list = body.Set("registers", JsonValue::Array());
        for (const auto& worker : m_board.Workers())
            list.Push(RegisterJson(*worker));
        Send(response, 200, body);
        return;
    }
    const RegisterWorker* worker = m_board.Worker(request.matches[1]);
    if (worker == nullptr) {
        SendProblem(response, Problem(Problem::Code::NotFound, "no register " + std::string(request.matches[1])));
        return;
    }
    Send(response, 200, RegisterJson(*worker));
}

void HttpApi::JobStatus(const httplib::Request& request, httplib::Response& response) const
{
    std::int32_t wait = 0;
    if (!ReadWait(request, 0, m_config.maxWaitMs, wait, response))
        return;
    const std::optional<JobRecord> job = m_board.Wait(request.matches[1], wait);
    if (!job) {
        SendProblem(response, Problem(Problem::Code::NotFound,
                                      "no job " + std::string(request.matches[1]) + " (results are kept " +
                                          std::to_string(m_config.keepResultsHours) + " hours)"));
        return;
    }
    response.set_header("Location", "/jobs/" + job->id);
    Send(response, 200, JobDocument::Of(*job));
}

void HttpApi::Job(const httplib::Request& request, httplib::Response& response, JobKind kind) const
{
    const std::string registerId = request.matches[1];
    if (m_board.Worker(registerId) == nullptr) {
        SendProblem(response, Problem(Problem::Code::NotFound, "no register " + registerId));
        return;
    }
    const bool post = request.method == "POST";
    JobRecord job;
    job.registerId = registerId;
    job.kind = kind;
    if (request.method != "GET") {
        job.idempotencyKey = request.get_header_value("Idempotency-Key");
        if (job.idempotencyKey.empty() && post) {
            SendProblem(response, Problem(Problem::Code::IdempotencyKeyMissing,
                                          "give every POST an Idempotency-Key header, the same for a retry of the same "
                                          "request, so that it is never carried out twice"));
            return;
        }
        static const std::regex keyForm("[\\x21-\\x7E]{1,255}");
        if (!job.idempotencyKey.empty() && !std::regex_match(job.idempotencyKey, keyForm)) {
            SendProblem(response,
                        Problem(Problem::Code::BadRequest, "an Idempotency-Key is 1 to 255 visible ASCII characters"));
            return;
        }
    }
    std::int32_t wait = 0;
    if (!ReadWait(request, m_config.defaultWaitMs, m_config.maxWaitMs, wait, response))
        return;
    JsonValue body;
    if (!ReadBody(request, m_config, body, response))
        return;
    JobRequest parsed;
    try {
        parsed = RequestReader::Read(kind, body, m_config.importFolder);
    } catch (const JsonFields::Refusal& refusal) {
        SendProblem(response, Problem(Problem::Code::BadRequest, refusal.message));
        return;
    }
    job.request = request.method + " " + request.path + "\n" + body.Dump();
    JobBoard::Submitted submitted = JobBoard::Submitted::Created;
    try {
        m_board.PruneNow();
        submitted = m_board.Submit(job, std::move(parsed));
    } catch (const JobJournal::Failure& failure) {
        SendProblem(response,
                    Problem(Problem::Code::JournalUnavailable, std::string(failure.what()) + "; nothing was sent"));
        return;
    }
    if (submitted == JobBoard::Submitted::Conflict) {
        SendProblem(response, Problem(Problem::Code::IdempotencyConflict,
                                      "the Idempotency-Key " + job.idempotencyKey +
                                          " was used for another request to this register; nothing was sent"));
        return;
    }
    if (submitted == JobBoard::Submitted::Stopping) {
        SendProblem(response, Problem(Problem::Code::ServiceStopped, "the service is stopping; nothing was queued"));
        return;
    }
    if (submitted == JobBoard::Submitted::Busy) {
        response.set_header("Retry-After", "1");
        SendProblem(response, Problem(Problem::Code::RegisterBusy, std::to_string(m_config.maxQueue) +
                                                                       " jobs wait for register " + registerId +
                                                                       " already; nothing was queued"));
        return;
    }
    const std::optional<JobRecord> current = m_board.Wait(job.id, wait);
    SendJob(response, current ? *current : job);
}

bool HttpApi::Bind(std::string& error)
{
    if (m_config.listenPort == 0) {
        m_port = m_server->bind_to_any_port(m_config.listenHost);
        if (m_port > 0)
            return true;
    } else if (m_server->bind_to_port(m_config.listenHost, m_config.listenPort)) {
        m_port = m_config.listenPort;
        return true;
    }
    error = "cannot listen on " + m_config.listenHost + ":" + std::to_string(m_config.listenPort);
    return false;
}

void HttpApi::Serve()
{
    m_server->listen_after_bind();
}

void HttpApi::Stop()
{
    m_server->stop();
}
