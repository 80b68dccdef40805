#pragma once

#include "service/config/ServiceConfig.h"
#include "service/jobs/JobJournal.h"
#include "service/jobs/JobRecord.h"
#include "service/jobs/JobRequest.h"
#include "service/registers/EventHub.h"
#include "service/registers/RegisterWorker.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class ServiceClock;
class ServiceMetrics;

// Where requests become jobs: the idempotency keys are looked up in the
// journal, new jobs are stored there before they are queued to their
// register's worker, and whoever waits for a job is told when that job
// changes (only its own waiters are woken). A job queued is told to the
// event streams (events), as its worker tells its start and end.
class JobBoard {
public:
    enum class Submitted {
        Created,   // a new job, queued
        Existing,  // the key was used for this same request: its job, nothing queued
        Conflict,  // the key was used for another request
        Busy,      // maxQueue jobs wait for the register already; nothing stored
        Stopping,  // the service is stopping; nothing stored
    };
    using WatchId = std::uint64_t;

    JobBoard(const ServiceConfig& config, JobJournal& journal, const ServiceClock& clock, ServiceMetrics& metrics,
             EventHub& events);
    ~JobBoard();

    // Makes and starts a worker per register (each settles what the
    // journal left running first). Throws JobJournal::Failure.
    void Start();
    // Takes no more jobs, tells every waiter at once, and asks each worker
    // to stop after its running exchange.
    void BeginStop();
    // BeginStop, and waits for the workers to end.
    void Stop();

    RegisterWorker* Worker(const std::string& registerId) const;
    const std::vector<std::unique_ptr<RegisterWorker>>& Workers() const { return m_workers; }

    // job holds the register, kind, key and canonical request; it is
    // filled with the stored job (new or existing). A job of the same key
    // and request that ended with nothing sent and may succeed later
    // (JobRecord::MayRunAgain) is queued again as its next attempt: Created.
    // Throws JobJournal::Failure.
    Submitted Submit(JobRecord& job, JobRequest request);
    // The job as the journal has it (or with the end its worker keeps).
    // Throws JobJournal::Failure.
    std::optional<JobRecord> Find(const std::string& jobId);
    // The jobs the filter names, newest first, likewise.
    std::vector<JobRecord> List(const JobJournal::Filter& filter);

    // Calls changed once, on a worker's thread, when the job next starts or
    // ends, or when the service begins to stop. Watch first, then look at
    // the job: a change in between is not missed.
    WatchId Watch(const std::string& jobId, std::function<void()> changed);
    // Forgets a watch whose caller no longer waits (nothing when it fired already).
    void Forget(WatchId watch);
    // BeginStop was called: no job is taken, and waiters answer as things stand.
    bool Stopping() const;

    // Forgets jobs that ended longer ago than the configuration keeps them,
    // at most once every ten minutes.
    void PruneNow();

private:
    struct Watcher {
        std::string jobId;
        std::function<void()> changed;
    };

    void Changed(const std::string& jobId);
    // Tells the event streams the job was queued (before its worker may start it).
    void Queued(const JobRecord& job);
    // The job with the end its worker keeps, when the journal did not take it yet.
    std::optional<JobRecord> WithPendingEnd(std::optional<JobRecord> job) const;

    const ServiceConfig& m_config;
    JobJournal& m_journal;
    const ServiceClock& m_clock;
    ServiceMetrics& m_metrics;
    EventHub& m_events;
    std::vector<std::unique_ptr<RegisterWorker>> m_workers;
    std::mutex m_submit;
    mutable std::mutex m_mutex;
    std::map<WatchId, Watcher> m_watchers;
    std::multimap<std::string, WatchId> m_watchersOf;
    WatchId m_nextWatch = 1;
    bool m_stopping = false;
    std::int64_t m_prunedMs = 0;
};
