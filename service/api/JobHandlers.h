#pragma once

#include "service/api/RouteTable.h"
#include "service/config/ServiceConfig.h"
#include "service/jobs/JobKind.h"

#include <string>
#include <vector>

class JobBoard;

// The routes that make a job (a receipt, a report, a read or write of the
// register) and the one that shows a job: the request read into a typed
// job (RequestReader), its key looked up and the job stored and queued
// (JobBoard), and the answer given once the job has ended or the wait is
// over (JobWait).
class JobHandlers {
public:
    JobHandlers(const ServiceConfig& config, JobBoard& board) : m_config(config), m_board(board) {}

    // Makes a job of this kind on the register named by the path.
    RouteTable::Handler Submit(JobKind kind);
    // GET /jobs/{jobId}?wait=MS.
    void Show(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);
    // GET /jobs?register=ID&state=STATE&key=KEY&since=TIME&limit=N: newest
    // first, with the address of the next page when there may be one.
    void List(const HttpRequest& request, const std::vector<std::string>& params, const Responder& responder);

    // The most jobs a page of List holds, and how many when not asked.
    static constexpr std::size_t kMostPerPage = 500;
    static constexpr std::size_t kPerPage = 50;

private:
    void Make(JobKind kind, const HttpRequest& request, const std::string& registerId, const Responder& responder);

    const ServiceConfig& m_config;
    JobBoard& m_board;
};
