#pragma once

#include "service/api/HttpApi.h"
#include "service/config/ServiceConfig.h"
#include "service/jobs/JobJournal.h"
#include "service/jobs/JournalLock.h"
#include "service/registers/JobBoard.h"

#include <memory>
#include <string>
#include <thread>

// The whole service: the journal in the state directory, a worker per
// register, and the HTTP interface on its own thread.
class EcrdService {
public:
    explicit EcrdService(ServiceConfig config);
    ~EcrdService();

    // Opens the journal, starts the workers (each settles what the journal
    // left running) and starts listening. False with the reason.
    bool Start(std::string& error);
    int Port() const { return m_api ? m_api->Port() : 0; }
    const ServiceConfig& Config() const { return m_config; }
    // Stops listening; each worker finishes its running exchange and stops.
    void Stop();

private:
    ServiceConfig m_config;
    JournalLock m_lock;
    JobJournal m_journal;
    std::unique_ptr<JobBoard> m_board;
    std::unique_ptr<HttpApi> m_api;
    std::thread m_http;
};
