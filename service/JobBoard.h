#pragma once

#include "service/JobJournal.h"
#include "service/JobRecord.h"
#include "service/JobRequest.h"
#include "service/RegisterWorker.h"
#include "service/ServiceConfig.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// Where requests become jobs: the idempotency keys are looked up in the
// journal, new jobs are stored there before they are queued to their
// register's worker, and callers wait for a job's end here.
class JobBoard {
public:
    enum class Submitted {
        Created,   // a new job, queued
        Existing,  // the key was used for this same request: its job, nothing queued
        Conflict,  // the key was used for another request
        Busy,      // maxQueue jobs wait for the register already; nothing stored
        Stopping,  // the service is stopping; nothing stored
    };

    JobBoard(const ServiceConfig& config, JobJournal& journal);
    ~JobBoard();

    // Makes and starts a worker per register (each settles what the
    // journal left running first).
    void Start();
    // Takes no more jobs, lets every waiting caller answer at once, and asks
    // each worker to stop after its running exchange.
    void BeginStop();
    // BeginStop, and waits for the workers to end.
    void Stop();

    RegisterWorker* Worker(const std::string& registerId) const;
    const std::vector<std::unique_ptr<RegisterWorker>>& Workers() const { return m_workers; }

    // job holds the register, kind, key and canonical request; it is
    // filled with the stored job (new or existing).
    Submitted Submit(JobRecord& job, JobRequest request);
    // The job as it stands once it has ended or waitMs have passed.
    std::optional<JobRecord> Wait(const std::string& jobId, std::int32_t waitMs);
    // Forgets jobs that ended longer ago than the configuration keeps them,
    // at most once every ten minutes.
    void PruneNow();

private:
    void Changed();

    const ServiceConfig& m_config;
    JobJournal& m_journal;
    std::vector<std::unique_ptr<RegisterWorker>> m_workers;
    std::mutex m_submit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_generation = 0;
    bool m_stopping = false;
    std::int64_t m_prunedMs = 0;
};
