#pragma once

#include "service/api/HttpApi.h"
#include "service/config/ServiceConfig.h"
#include "service/jobs/JobJournal.h"
#include "service/jobs/JournalLock.h"
#include "service/metrics/ServiceMetrics.h"
#include "service/registers/EventHub.h"
#include "service/registers/JobBoard.h"

#include <memory>
#include <string>

// The whole service: the journal in the state directory (locked, one ecrd
// per journal), a worker per register, the hub of the event streams, and
// the HTTP interface.
class EcrdService {
public:
    // How a start went: running, or why not, as the program's exit code
    // tells it: 2 for what the administrator must mend (a damaged journal,
    // a bad certificate or key), 1 for the rest (the address or the journal
    // in use, a state directory that cannot be made).
    enum class Started { Running = 0, Failed = 1, Refused = 2 };

    explicit EcrdService(ServiceConfig config);
    ~EcrdService();

    // Locks and opens the journal, binds the address, starts the workers
    // (each settles what the journal left running) and starts serving.
    // Anything but Running gives the reason.
    Started Start(std::string& error);
    int Port() const { return m_api ? m_api->Port() : 0; }
    const ServiceConfig& Config() const { return m_config; }
    // Stops taking requests (the listeners close first, waiting callers
    // answer with their job as it stands); each worker finishes its running
    // exchange and stops.
    void Stop();

private:
    ServiceConfig m_config;
    JournalLock m_lock;
    ServiceMetrics m_metrics;
    JobJournal m_journal;
    EventHub m_events;
    std::unique_ptr<JobBoard> m_board;
    std::unique_ptr<HttpApi> m_api;
};
