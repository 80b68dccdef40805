#pragma once

#include "service/jobs/JobEnd.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class JobJournal;

// How jobs ended, on their way into the journal. An end the journal cannot
// take (its file locked by another program, the disk full) is kept here,
// shown to whoever asks for the job, and written when the journal takes it
// again: a settled outcome is never lost, nor rewritten by a later failure.
// While any end waits, its worker starts no job.
class PendingEnds {
public:
    explicit PendingEnds(JobJournal& journal) : m_journal(journal) {}

    // Takes an end to write; Flush writes it, after those taken before it.
    void Add(const std::string& jobId, const JobEnd& end, std::int64_t nowMs);
    // Writes what is kept, in order, until the journal fails; calls written
    // with each job whose end went in. True when nothing is kept any more.
    bool Flush(const std::function<void(const std::string& jobId)>& written);
    // The kept end of a job, which the journal still has unfinished.
    std::optional<JobEnd> Find(const std::string& jobId) const;
    bool Empty() const;
    // Why the journal did not take the first kept end; empty when none waits.
    std::string Failure() const;

private:
    struct Kept {
        std::string jobId;
        JobEnd end;
        std::int64_t finishedMs = 0;
    };

    JobJournal& m_journal;
    mutable std::mutex m_mutex;
    std::vector<Kept> m_kept;
    std::string m_failure;
};
