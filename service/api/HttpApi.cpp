#include "service/api/HttpApi.h"

#include "service/api/Answers.h"
#include "service/jobs/ServiceClock.h"

#include <string_view>

namespace {

HttpServer::Options ServerOptions(const ServiceConfig& config)
{
    HttpServer::Options options;
    options.host = config.listenHost;
    options.port = config.listenPort;
    if (config.tls)
        options.tls = HttpServer::TlsFiles{config.tls->certificate, config.tls->key};
    options.limits.maxBodyBytes = config.maxBodyBytes;
    return options;
}

}  // namespace

const std::vector<HttpApi::Route>& HttpApi::Routes()
{
    using S = Serves;
    static const std::vector<Route> routes{
        {"GET", "/registers", S::Registers},
        {"GET", "/registers/{id}/status", S::RegisterStatus},
        {"POST", "/registers/{id}/receipts", S::Job, JobKind::Receipt},
        {"POST", "/registers/{id}/receipt/cancel", S::Job, JobKind::CancelReceipt},
        {"POST", "/registers/{id}/reports/daily", S::Job, JobKind::DailyReport},
        {"POST", "/registers/{id}/reports/periodic", S::Job, JobKind::PeriodicReport},
        {"POST", "/registers/{id}/reports/snapshot", S::Job, JobKind::SnapshotReport},
        {"GET", "/registers/{id}/clock", S::Job, JobKind::ReadClock},
        {"PUT", "/registers/{id}/clock", S::Job, JobKind::SetClock},
        {"GET", "/registers/{id}/header", S::Job, JobKind::ReadHeader},
        {"PUT", "/registers/{id}/header", S::Job, JobKind::SetHeader},
        {"GET", "/registers/{id}/totalizers", S::Job, JobKind::ReadTotalizers},
        {"GET", "/registers/{id}/tax-rates", S::Job, JobKind::ReadTaxRates},
        {"GET", "/registers/{id}/articles", S::Job, JobKind::ReadArticles},
        {"POST", "/registers/{id}/articles", S::Job, JobKind::ImportArticles},
        {"PUT", "/registers/{id}/display", S::Job, JobKind::ShowDisplay},
        {"DELETE", "/registers/{id}/display", S::Job, JobKind::ClearDisplay},
        {"POST", "/registers/{id}/info-print", S::Job, JobKind::InfoPrint},
        {"POST", "/registers/{id}/raw", S::Job, JobKind::Raw},
        {"GET", "/jobs", S::ListJobs},
        {"GET", "/jobs/{jobId}", S::ShowJob},
        {"GET", "/health", S::Health},
        {"GET", "/metrics", S::Metrics},
        {"GET", "/openapi.json", S::OpenApi},
        {"GET", "/", S::ConsolePage},
        {"GET", "/console/{file}", S::ConsoleFile},
        {"GET", "/events", S::Events},
        {"GET", "/logs", S::Logs},
        {"GET", "/logs/{file}", S::LogFile},
    };
    return routes;
}

HttpApi::HttpApi(const ServiceConfig& config, JobBoard& board, JobJournal& journal, ServiceMetrics& metrics,
                 EventHub& events)
    : m_config(config),
      m_screen(config),
      m_jobs(config, board),
      m_registers(board, ServiceClock::System()),
      m_service(board, journal, metrics),
      m_events(events, board, ServiceClock::System()),
      m_logs(config)
{
    using namespace std::placeholders;
    for (const Route& route : Routes()) {
        RouteTable::Handler handler;
        switch (route.serves) {
        case Serves::Job: handler = m_jobs.Submit(route.kind); break;
        case Serves::ShowJob: handler = std::bind(&JobHandlers::Show, &m_jobs, _1, _2, _3); break;
        case Serves::Registers: handler = std::bind(&RegisterHandlers::List, &m_registers, _1, _2, _3); break;
        case Serves::RegisterStatus: handler = std::bind(&RegisterHandlers::Status, &m_registers, _1, _2, _3); break;
        case Serves::ListJobs: handler = std::bind(&JobHandlers::List, &m_jobs, _1, _2, _3); break;
        case Serves::Health: handler = std::bind(&ServiceHandlers::Health, &m_service, _1, _2, _3); break;
        case Serves::Metrics: handler = std::bind(&ServiceHandlers::Metrics, &m_service, _1, _2, _3); break;
        case Serves::OpenApi: handler = std::bind(&FileHandlers::OpenApi, &m_files, _1, _2, _3); break;
        case Serves::ConsolePage: handler = std::bind(&FileHandlers::ConsolePage, &m_files, _1, _2, _3); break;
        case Serves::ConsoleFile: handler = std::bind(&FileHandlers::ConsoleFile, &m_files, _1, _2, _3); break;
        case Serves::Events: handler = std::bind(&EventHandlers::Events, &m_events, _1, _2, _3); break;
        case Serves::Logs: handler = std::bind(&LogHandlers::List, &m_logs, _1, _2, _3); break;
        case Serves::LogFile: handler = std::bind(&LogHandlers::File, &m_logs, _1, _2, _3); break;
        }
        m_routes.Add(route.method, route.path, std::move(handler));
    }
    m_server = std::make_unique<HttpServer>(
        ServerOptions(config), [this](const HttpRequest& head) { return Screen(head); },
        [this](HttpRequest request, Responder responder) { Handle(std::move(request), std::move(responder)); });
    m_service.SetServer(m_server.get());
}

HttpApi::~HttpApi() = default;

bool HttpApi::Bind(std::string& error)
{
    return m_server->Bind(error);
}

void HttpApi::Stop(std::chrono::milliseconds grace)
{
    m_server->Stop(grace);
}

std::optional<HttpResponse> HttpApi::Screen(const HttpRequest& head)
{
    const std::optional<Problem> refused = m_screen.Check(head);
    if (!refused)
        return std::nullopt;
    HttpResponse answer = Answers::Of(*refused);
    if (refused->GetCode() == Problem::Code::Unauthorized)
        answer.headers.emplace_back("WWW-Authenticate", "Bearer");
    if (refused->GetCode() == Problem::Code::TooManyRequests)
        answer.headers.emplace_back("Retry-After", "60");
    return answer;
}

std::vector<std::pair<std::string, std::string>> HttpApi::CorsHeaders(const HttpRequest& request) const
{
    const std::string* origin = request.headers.Find("Origin");
    if (origin == nullptr || !m_screen.Allowed(request, *origin))
        return {};
    return {{"Access-Control-Allow-Origin", *origin},
            {"Vary", "Origin"},
            {"Access-Control-Expose-Headers", "Location, Retry-After"}};
}

void HttpApi::Handle(HttpRequest request, Responder responder)
{
    responder.AddHeaders(CorsHeaders(request));
    if (request.method == "OPTIONS") {
        // A browser asks first whether an allowed origin may send a request.
        const RouteTable::Match any = m_routes.Find("", request.path);
        if (any.allowed.empty())
            return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no such path: " + request.path)));
        HttpResponse preflight;
        preflight.status = 204;
        preflight.headers = {{"Allow", any.allowed},
                             {"Access-Control-Allow-Methods", any.allowed},
                             {"Access-Control-Allow-Headers", "Authorization, Content-Type, Idempotency-Key"},
                             {"Access-Control-Max-Age", "600"}};
        return responder.Send(preflight);
    }
    const RouteTable::Match match = m_routes.Find(request.method, request.path);
    if (match.route == nullptr && match.allowed.empty())
        return responder.Send(Answers::Of(Problem(Problem::Code::NotFound, "no such path: " + request.path)));
    if (match.route == nullptr) {
        HttpResponse answer =
            Answers::Of(Problem(Problem::Code::MethodNotAllowed,
                                request.method + " is not allowed on " + request.path + "; allowed: " + match.allowed));
        answer.headers.emplace_back("Allow", match.allowed);
        return responder.Send(answer);
    }
    match.route->handler(request, match.params, responder);
}
