#pragma once

#include "service/config/ServiceConfig.h"
#include "service/jobs/JobKind.h"

#include <memory>
#include <string>
#include <vector>

class JobBoard;
class Problem;
namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

// ecrd's HTTP interface (service/openapi.json describes it):
// every request is checked before any route sees it (a loopback service
// answers only requests that name it by a loopback host; the bearer token
// when one is configured; CORS for the allowed origins alone; bodies
// bounded), and every register operation becomes a job on the board.
class HttpApi {
public:
    // One route: its method, its path as the OpenAPI document writes it,
    // and the job it makes (none for the routes that make none).
    struct Route {
        std::string method;
        std::string path;
        bool makesJob = false;
        JobKind kind = JobKind::Receipt;
    };

    HttpApi(const ServiceConfig& config, JobBoard& board);
    ~HttpApi();

    // Every route served, for the check against the OpenAPI document.
    static const std::vector<Route>& Routes();

    // Binds the configured address; false with the reason. The port bound
    // (the configured one, or the one the system chose for 0).
    bool Bind(std::string& error);
    int Port() const { return m_port; }
    // Serves until Stop; call on its own thread.
    void Serve();
    void Stop();

private:
    void Register();
    // The checks every request passes first; true when they answered it.
    bool Screen(const httplib::Request& request, httplib::Response& response) const;
    void Job(const httplib::Request& request, httplib::Response& response, JobKind kind) const;
    void JobStatus(const httplib::Request& request, httplib::Response& response) const;
    void Registers(const httplib::Request& request, httplib::Response& response) const;
    void NoRoute(const httplib::Request& request, httplib::Response& response) const;

    const ServiceConfig& m_config;
    JobBoard& m_board;
    std::unique_ptr<httplib::Server> m_server;
    int m_port = 0;
};
