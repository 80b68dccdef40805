#pragma once

#include "service/jobs/JobEnd.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/JobRecord.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

// The job journal: every job, its idempotency key, what its worker did and
// saw, and how it ended, in one SQLite file that outlives the service.
// Every write is committed before it returns (WAL), so a crash of the
// service loses nothing; progress whose Durability is PastPowerCut is also
// synced to the disk with all that came before it, so what a job says it is
// about to send outlives a power cut before it is sent. Kinds, states and
// the names inside the stored documents are those of their tables; a row
// this version cannot read is a Failure naming the job, never read as a
// default. Safe to use from several threads.
class JobJournal {
public:
    // A write or read of the file failed (disk full, file damaged), or a row
    // cannot be read (what and which job).
    class Failure : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // How long a write waits for another program's lock on the file.
    static constexpr int kBusyMs = 2000;

    JobJournal() = default;
    ~JobJournal();
    JobJournal(const JobJournal&) = delete;
    JobJournal& operator=(const JobJournal&) = delete;

    // Opens (creating) the file and brings an older one up to this
    // version's form. False with the reason, also for a row whose kind or
    // state this version does not know.
    bool Open(const std::string& path, std::string& error);

    // Stores a new queued job.
    void Insert(const JobRecord& job);
    // The register's job with this idempotency key.
    std::optional<JobRecord> FindByKey(const std::string& registerId, const std::string& key);
    std::optional<JobRecord> Find(const std::string& id);
    // The register's jobs that are queued or running, oldest first.
    std::vector<JobRecord> Unfinished(const std::string& registerId);

    // Which jobs List gives: each item that is set narrows them.
    struct Filter {
        std::string registerId;
        std::optional<JobState> state;
        std::string key;
        std::int64_t sinceMs = 0;  // made at or after
        // Made before this job (its creation time and id), for the next page.
        std::optional<std::pair<std::int64_t, std::string>> before;
        std::size_t limit = 50;
    };
    // The jobs the filter names, newest first.
    std::vector<JobRecord> List(const Filter& filter);

    void MarkRunning(const std::string& id, std::int64_t nowMs);
    // Queues a job that MayRunAgain() as its next attempt: its end becomes
    // an earlier attempt, its state queued again.
    void Retry(const JobRecord& job);
    // Records how far the job got, kept as long as DurabilityOf(progress) says.
    void SaveProgress(const std::string& id, const JobProgress& progress);
    void Finish(const std::string& id, const JobEnd& end, std::int64_t nowMs);
    // Forgets finished jobs that ended before the time, and their keys.
    int Prune(std::int64_t finishedBeforeMs);

    // Whether the journal would take a write now: its write lock taken and
    // given back at once, without waiting for another program's.
    bool Writable();
    // Called with the seconds each write took (for the metrics).
    void SetWriteObserver(std::function<void(double seconds)> observer) { m_writeObserver = std::move(observer); }

    // A new job id: 32 random hexadecimal digits.
    static std::string NewId();

private:
    void Execute(const char* sql);
    // Brings a journal of an earlier version to this one's form.
    void Migrate();
    void MigrateStepNames();
    // Every row's kind and state are names this version knows.
    void CheckNames();
    JobRecord Row(void* statement);

    // Times a write for the observer.
    class WriteTimer;

    std::mutex m_mutex;
    sqlite3* m_db = nullptr;
    std::function<void(double)> m_writeObserver;
};
