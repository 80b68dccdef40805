#pragma once

#include "service/api/EventHandlers.h"
#include "service/api/FileHandlers.h"
#include "service/api/JobHandlers.h"
#include "service/api/LogHandlers.h"
#include "service/api/RegisterHandlers.h"
#include "service/api/RequestScreen.h"
#include "service/api/RouteTable.h"
#include "service/api/ServiceHandlers.h"
#include "service/config/ServiceConfig.h"
#include "service/http/HttpServer.h"
#include "service/jobs/JobKind.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class EventHub;
class JobBoard;
class JobJournal;
class ServiceMetrics;

// ecrd's HTTP interface (service/openapi.json describes it), in three parts:
// RequestScreen decides from a request's header who may call (a refusal
// closes the connection before the body is read); the route table, built
// here from Routes(), finds what serves a request (404 and 405 follow from
// it); the handlers turn requests into jobs and answers (Answers). The
// transport is HttpServer.
class HttpApi {
public:
    // What serves a route.
    enum class Serves {
        Job,
        ShowJob,
        ListJobs,
        Registers,
        RegisterStatus,
        Health,
        Metrics,
        OpenApi,
        ConsolePage,
        ConsoleFile,
        Events,
        Logs,
        LogFile
    };
    // One route: its method, its path as the OpenAPI document writes it,
    // and what serves it (for a Job, the kind of job it makes).
    struct Route {
        std::string method;
        std::string path;
        Serves serves = Serves::Job;
        JobKind kind = JobKind::Receipt;
    };

    HttpApi(const ServiceConfig& config, JobBoard& board, JobJournal& journal, ServiceMetrics& metrics,
            EventHub& events);
    ~HttpApi();

    // Every route served, for the check against the OpenAPI document.
    static const std::vector<Route>& Routes();

    // Binds the configured address; false with the reason.
    bool Bind(std::string& error);
    HttpServer::BindProblem BindProblem() const { return m_server->LastBindProblem(); }
    int Port() const { return m_server->Port(); }
    void Start() { m_server->Start(); }
    // Closes the listeners and every connection; answers that come within
    // grace still go out.
    void Stop(std::chrono::milliseconds grace);
    HttpServer::Stats Stats() const { return m_server->GetStats(); }

private:
    std::optional<HttpResponse> Screen(const HttpRequest& head);
    void Handle(HttpRequest request, Responder responder);
    // The CORS fields for a request from an allowed origin other than ours.
    std::vector<std::pair<std::string, std::string>> CorsHeaders(const HttpRequest& request) const;

    const ServiceConfig& m_config;
    RequestScreen m_screen;
    JobHandlers m_jobs;
    RegisterHandlers m_registers;
    ServiceHandlers m_service;
    FileHandlers m_files;
    EventHandlers m_events;
    LogHandlers m_logs;
    RouteTable m_routes;
    std::unique_ptr<HttpServer> m_server;
};
