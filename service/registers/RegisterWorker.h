#pragma once

#include "service/config/ServiceConfig.h"
#include "service/jobs/JobEnd.h"
#include "service/jobs/JobRequest.h"
#include "service/jobs/RegisterTotals.h"
#include "service/registers/DailySessionLog.h"
#include "service/registers/EventHub.h"
#include "service/registers/JobRunner.h"
#include "service/registers/LinkKeeper.h"
#include "service/registers/PendingEnds.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class JobJournal;
class ServiceClock;
class ServiceMetrics;

// One register's worker: its own thread owns the register's link
// (LinkKeeper), and runs the register's jobs one at a time in the order
// they came. While the link is down the other registers' workers go on
// undisturbed; a job that comes while it is down and no attempt is due
// fails at once with nothing sent. A job whose answer was lost and whose
// register could not be asked stays running and is settled before any
// other job runs, once the link is back; so is every job the journal has as
// running when the worker starts (the service died or stopped during it).
// Jobs still queued at the start were never begun: they fail with nothing
// sent, as does a fiscal job that waited longer than maxStartDelayMs, so
// that no sale is printed long after its customer left. An end the journal
// cannot take is kept (PendingEnds) and no job starts until it is written.
class RegisterWorker {
public:
    // What the worker can say without asking the register.
    struct Snapshot {
        LinkKeeper::State link;
        std::string runningJob;
        std::size_t queued = 0;
        std::size_t unsettled = 0;
        // Why the journal does not take this worker's ends; empty when it does.
        std::string journalFailure;
    };

    // jobChanged is called (from the worker's thread) with a job's id
    // whenever the job starts or ends. The event streams are told (events)
    // when a job starts or ends and when the queue or the link changes.
    RegisterWorker(const ServiceConfig::Register& reg, const ServiceConfig& config, JobJournal& journal,
                   const ServiceClock& clock, ServiceMetrics& metrics, EventHub& events,
                   std::function<void(const std::string& jobId)> jobChanged);
    ~RegisterWorker();
    RegisterWorker(const RegisterWorker&) = delete;
    RegisterWorker& operator=(const RegisterWorker&) = delete;

    // Takes over the journal's unfinished jobs of this register and starts
    // the thread. Throws JobJournal::Failure when the journal cannot be read.
    void Start();
    // The running exchange is finished, then the thread ends; the running
    // job is left as the journal has it, to be settled at the next start.
    void RequestStop();
    void Join();

    // False, and nothing queued, when maxQueue jobs are waiting already.
    bool Enqueue(const std::string& jobId, JobRequest request);
    Snapshot State() const;
    // Asks the register with the status enquiry as soon as no job runs (a
    // dead line is opened again), then calls done (on the worker's thread).
    void Probe(std::function<void()> done);
    // A job is running now.
    bool Busy() const;
    // How a job ended that the journal has not taken yet.
    std::optional<JobEnd> PendingEnd(const std::string& jobId) const { return m_ends.Find(jobId); }
    const ServiceConfig::Register& Config() const { return m_register; }

private:
    struct Queued {
        std::string jobId;
        JobRequest request;
        std::chrono::steady_clock::time_point arrived;
    };
    struct Unsettled {
        std::string jobId;
        std::string cause;
    };
    // The register's totals read after a fiscal job, for the next receipt.
    struct TotalsAhead {
        RegisterTotals totals;
        std::chrono::steady_clock::time_point at;
        std::uint64_t link = 0;  // LinkKeeper::Generation
    };

    void Loop();
    // Waits for work; false when the worker is to stop.
    bool AwaitWork();
    // Takes the next queued job, if any.
    std::optional<Queued> Next();
    // Ends every queued job with nothing sent.
    void FailQueued(Problem::Code code, const std::string& why);
    // Settles what it can; false when the register could not be asked.
    bool SettleAll();
    void Run(const Queued& job);
    JobRunner MakeRunner(const std::string& jobId);
    void AnswerProbes();
    // The last exchange found no register on the line (no answer, the port failed).
    bool LostTheLine() const;
    // A job that failed on the line before it sent anything.
    static bool NothingSent(const JobEnd& end);
    // Drops the link and opens it at once; true when it opened.
    bool Reopen(const std::string& why);
    // After a fiscal job, with no job waiting: the totals the next receipt
    // starts from, read now, while no till waits for them.
    void ReadTotalsAhead();
    // Those totals, when they still hold: read on this link, nothing sent
    // since, not older than kTotalsAheadFor. Given once.
    std::optional<RegisterTotals> TakeTotalsAhead();
    void FailUnsent(const std::string& jobId, JobKind kind, Problem::Code code, const std::string& why);
    // Records the end (or keeps it, PendingEnds), counts it and tells who waits.
    void Finish(const std::string& jobId, JobKind kind, const JobEnd& end);
    // The register's status changed: told to the event streams (never with m_mutex held).
    void Changed();
    void Checkpoint() const;

    const ServiceConfig::Register m_register;
    const ServiceConfig& m_config;
    JobJournal& m_journal;
    const ServiceClock& m_clock;
    ServiceMetrics& m_metrics;
    EventHub& m_events;
    std::function<void(const std::string&)> m_jobChanged;
    std::unique_ptr<DailySessionLog> m_log;
    LinkKeeper m_link;
    PendingEnds m_ends;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Queued> m_queue;
    std::vector<Unsettled> m_unsettled;
    std::vector<std::function<void()>> m_probes;
    std::optional<TotalsAhead> m_totalsAhead;
    std::string m_runningJob;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
