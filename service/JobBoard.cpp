#include "service/JobBoard.h"

#include <chrono>

JobBoard::JobBoard(const ServiceConfig& config, JobJournal& journal) : m_config(config), m_journal(journal) {}

JobBoard::~JobBoard()
{
    Stop();
}

void JobBoard::Start()
{
    PruneNow();
    for (const ServiceConfig::Register& reg : m_config.registers)
        m_workers.push_back(std::make_unique<RegisterWorker>(reg, m_config, m_journal, [this] { Changed(); }));
    for (const auto& worker : m_workers)
        worker->Start();
}

void JobBoard::BeginStop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
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
    if (!job.idempotencyKey.empty()) {
        if (std::optional<JobRecord> existing = m_journal.FindByKey(job.registerId, job.idempotencyKey)) {
            if (existing->request != job.request)
                return Submitted::Conflict;
            job = std::move(*existing);
            return Submitted::Existing;
        }
    }
    if (worker->State().queued >= m_config.maxQueue)
        return Submitted::Busy;
    job.id = JobJournal::NewId();
    job.state = JobRecord::State::Queued;
    job.createdMs = JobJournal::NowMs();
    m_journal.Insert(job);
    worker->Enqueue(job.id, std::move(request));
    return Submitted::Created;
}

std::optional<JobRecord> JobBoard::Wait(const std::string& jobId, std::int32_t waitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        std::uint64_t seen = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            seen = m_generation;
        }
        std::optional<JobRecord> job = m_journal.Find(jobId);
        if (!job || job->Finished())
            return job;
        // A stopping service answers at once: the job is settled at the next start.
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_stopping || !m_changed.wait_until(lock, deadline, [&] { return m_generation != seen || m_stopping; }))
            return job;
    }
}

void JobBoard::Changed()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
    }
    m_changed.notify_all();
}

void JobBoard::PruneNow()
{
    const std::int64_t now = JobJournal::NowMs();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_prunedMs != 0 && now - m_prunedMs < 10 * 60 * 1000)
            return;
        m_prunedMs = now;
    }
    m_journal.Prune(now - m_config.keepResultsHours * 3600 * 1000);
}
