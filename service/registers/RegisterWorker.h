#pragma once

#include "link/LinkTarget.h"
#include "link/RegisterLink.h"
#include "service/config/ServiceConfig.h"
#include "service/jobs/JobEnd.h"
#include "service/jobs/JobRequest.h"
#include "service/registers/DailySessionLog.h"
#include "service/registers/JobRunner.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class JobJournal;
class ServiceClock;

// One register's worker: its own thread owns the register's link, and runs
// the register's jobs one at a time in the order they came. A link that
// fails is opened again with a growing pause (reopenFirstMs doubled up to
// reopenMaxMs) while the other registers' workers go on undisturbed; a job
// that comes while the link is down and no attempt is due fails at once
// with nothing sent. A job whose answer was lost and whose register could
// not be asked stays running and is settled first once the link is back;
// so is every job the journal has as running when the worker starts (the
// service died or stopped during it). Jobs still queued at the start were
// never begun: they fail with nothing sent, so that no sale is printed
// long after its customer left.
class RegisterWorker {
public:
    // What the worker can say without asking the register.
    struct Snapshot {
        bool linkOpen = false;
        std::string linkError;           // why the link is down, when it is
        std::int64_t linkChangedMs = 0;  // when it last opened or failed (ms since 1970)
        std::int64_t nextOpenMs = 0;     // when the next attempt is due, while down
        int statusByte = -1;             // the log-on's status byte, -1 before one came
        std::string runningJob;
        std::size_t queued = 0;
        std::size_t unsettled = 0;
    };

    // jobChanged is called (from the worker's thread) with a job's id
    // whenever the job starts or ends.
    RegisterWorker(const ServiceConfig::Register& reg, const ServiceConfig& config, JobJournal& journal,
                   const ServiceClock& clock, std::function<void(const std::string& jobId)> jobChanged);
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
    const ServiceConfig::Register& Config() const { return m_register; }

private:
    struct Queued {
        std::string jobId;
        JobRequest request;
    };
    struct Unsettled {
        std::string jobId;
        std::string cause;
    };

    void Loop();
    // Opens the link; false (and the next attempt scheduled) when it cannot.
    bool OpenLink();
    void DropLink(const std::string& why, bool backOff);
    // Settles what it can; false when the register could not be asked.
    bool SettleAll();
    void Run(const Queued& job);
    JobRunner MakeRunner(const std::string& jobId);
    void FailUnsent(const std::string& jobId, JobKind kind, Problem::Code code, const std::string& why);
    void Finish(const std::string& jobId, const JobEnd& end);
    void Checkpoint() const;

    const ServiceConfig::Register m_register;
    const ServiceConfig& m_config;
    JobJournal& m_journal;
    const ServiceClock& m_clock;
    std::function<void(const std::string&)> m_jobChanged;
    std::unique_ptr<DailySessionLog> m_log;

    // The worker thread's own: the link and where it leads.
    LinkTarget m_target;
    RegisterLink m_link;
    std::int32_t m_backOffMs = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Queued> m_queue;
    std::vector<Unsettled> m_unsettled;
    Snapshot m_state;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
