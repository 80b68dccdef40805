#pragma once

#include "service/api/RouteTable.h"

#include <functional>
#include <string>
#include <vector>

class HttpServer;
class JobBoard;
class JobJournal;
class ServiceMetrics;

// The routes that watch the service itself: GET /health (200 while the
// journal takes writes, else 503; each register's link) and GET /metrics
// (Prometheus' text format).
class ServiceHandlers {
public:
    ServiceHandlers(JobBoard& board, JobJournal& journal, ServiceMetrics& metrics)
        : m_board(board), m_journal(journal), m_metrics(metrics)
    {
    }
    // The server whose answers /metrics counts; set once it is made.
    void SetServer(const HttpServer* server) { m_server = server; }

    void Health(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    void Metrics(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);

private:
    // The journal takes writes: it said so now, and no worker keeps an end it refused.
    bool JournalWritable(std::string& why);

    JobBoard& m_board;
    JobJournal& m_journal;
    ServiceMetrics& m_metrics;
    const HttpServer* m_server = nullptr;
};
