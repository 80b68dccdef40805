#include "service/registers/PendingEnds.h"

#include "service/jobs/JobJournal.h"

void PendingEnds::Add(const std::string& jobId, const JobEnd& end, std::int64_t nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_kept.push_back({jobId, end, nowMs});
}

bool PendingEnds::Flush(const std::function<void(const std::string& jobId)>& written)
{
    for (;;) {
        Kept next;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_kept.empty())
                return true;
            next = m_kept.front();
        }
        try {
            m_journal.Finish(next.jobId, next.end, next.finishedMs);
        } catch (const JobJournal::Failure& failure) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = failure.what();
            return false;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_kept.erase(m_kept.begin());
            if (m_kept.empty())
                m_failure.clear();
        }
        written(next.jobId);
    }
}

std::optional<JobEnd> PendingEnds::Find(const std::string& jobId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Kept& kept : m_kept) {
        if (kept.jobId == jobId)
            return kept.end;
    }
    return std::nullopt;
}

bool PendingEnds::Empty() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_kept.empty();
}

std::string PendingEnds::Failure() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure;
}
