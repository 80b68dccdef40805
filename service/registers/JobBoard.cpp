#include "service/registers/JobBoard.h"

#include "service/jobs/ServiceClock.h"

JobBoard::JobBoard(const ServiceConfig& config, JobJournal& journal, const ServiceClock& clock, ServiceMetrics& metrics,
                   EventHub& events)
    : m_config(config), m_journal(journal), m_clock(clock), m_metrics(metrics), m_events(events)
{
}

JobBoard::~JobBoard()
{
    Stop();
}

void JobBoard::Start()
{
    PruneNow();
    for (const ServiceConfig::Register& reg : m_config.registers)
        m_workers.push_back(std::make_unique<RegisterWorker>(reg, m_config, m_journal, m_clock, m_metrics, m_events,
                                                             [this](const std::string& jobId) { Changed(jobId); }));
    for (const auto& worker : m_workers)
        worker->Start();
}

void JobBoard::BeginStop()
{
    std::map<WatchId, Watcher> waiting;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        waiting.swap(m_watchers);
        m_watchersOf.clear();
    }
    for (auto& [id, watcher] : waiting)
        watcher.changed();
    for (const auto& worker : m_workers)
        worker->RequestStop();
}

void JobBoard::Stop()
{
    BeginStop();
    for (const auto& worker : m_workers)
        worker->Join();
}

RegisterWorker* JobBoard::Worker(const std::string& registerId) const
{
    for (const auto& worker : m_workers) {
        if (worker->Config().id == registerId)
            return worker.get();
    }
    return nullptr;
}

JobBoard::Submitted JobBoard::Submit(JobRecord& job, JobRequest request)
{
    RegisterWorker* worker = Worker(job.registerId);
    // One submission at a time, so a key is looked up and stored as one step
    // and the queue cannot fill between the check and the queueing.
    std::lock_guard<std::mutex> lock(m_submit);
    {
        std::lock_guard<std::mutex> stopping(m_mutex);
        if (m_stopping)
            return Submitted::Stopping;
    }
    std::optional<JobRecord> earlier;
    if (!job.idempotencyKey.empty()) {
        if (std::optional<JobRecord> existing =
                WithPendingEnd(m_journal.FindByKey(job.registerId, job.idempotencyKey))) {
            if (existing->request != job.request)
                return Submitted::Conflict;
            // A job that ended with nothing sent leaves its key free: the
            // same request runs again, as its next attempt.
            if (!existing->MayRunAgain()) {
                job = std::move(*existing);
                return Submitted::Existing;
            }
            earlier = std::move(existing);
        }
    }
    if (worker->State().queued >= m_config.maxQueue)
        return Submitted::Busy;
    if (earlier) {
        m_journal.Retry(*earlier);
        job = *m_journal.Find(earlier->id);
        Queued(job);
        worker->Enqueue(job.id, std::move(request));
        return Submitted::Created;
    }
    job.id = JobJournal::NewId();
    job.state = JobState::Queued;
    job.createdMs = m_clock.NowMs();
    m_journal.Insert(job);
    Queued(job);
    worker->Enqueue(job.id, std::move(request));
    return Submitted::Created;
}

void JobBoard::Queued(const JobRecord& job)
{
    m_events.Publish(JobChanged{job.id, job.registerId, job.kind, JobState::Queued, std::nullopt, job.idempotencyKey,
                                job.createdMs});
}

std::optional<JobRecord> JobBoard::Find(const std::string& jobId)
{
    return WithPendingEnd(m_journal.Find(jobId));
}

std::vector<JobRecord> JobBoard::List(const JobJournal::Filter& filter)
{
    std::vector<JobRecord> jobs = m_journal.List(filter);
    for (JobRecord& job : jobs)
        job = *WithPendingEnd(std::move(job));
    return jobs;
}

std::optional<JobRecord> JobBoard::WithPendingEnd(std::optional<JobRecord> job) const
{
    if (job && !job->Finished()) {
        // An end its worker keeps because the journal did not take it yet.
        if (const RegisterWorker* worker = Worker(job->registerId)) {
            if (const std::optional<JobEnd> end = worker->PendingEnd(job->id)) {
                job->state = end->state;
                job->end = *end;
                job->finishedMs = m_clock.NowMs();
            }
        }
    }
    return job;
}

JobBoard::WatchId JobBoard::Watch(const std::string& jobId, std::function<void()> changed)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_stopping) {
            const WatchId id = m_nextWatch++;
            m_watchers.emplace(id, Watcher{jobId, std::move(changed)});
            m_watchersOf.emplace(jobId, id);
            return id;
        }
    }
    // A stopping service answers at once: the job is settled at the next start.
    changed();
    return 0;
}

void JobBoard::Forget(WatchId watch)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_watchers.find(watch);
    if (found == m_watchers.end())
        return;
    const auto [first, last] = m_watchersOf.equal_range(found->second.jobId);
    for (auto it = first; it != last; ++it) {
        if (it->second == watch) {
            m_watchersOf.erase(it);
            break;
        }
    }
    m_watchers.erase(found);
}

bool JobBoard::Stopping() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stopping;
}

void JobBoard::Changed(const std::string& jobId)
{
    std::vector<std::function<void()>> told;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto [first, last] = m_watchersOf.equal_range(jobId);
        for (auto it = first; it != last; ++it) {
            const auto watcher = m_watchers.find(it->second);
            told.push_back(std::move(watcher->second.changed));
            m_watchers.erase(watcher);
        }
        m_watchersOf.erase(first, last);
    }
    for (const auto& changed : told)
        changed();
}

void JobBoard::PruneNow()
{
    const std::int64_t now = m_clock.NowMs();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_prunedMs != 0 && now - m_prunedMs < 10 * 60 * 1000)
            return;
        m_prunedMs = now;
    }
    m_journal.Prune(now - m_config.keepResultsHours * 3600 * 1000);
}
