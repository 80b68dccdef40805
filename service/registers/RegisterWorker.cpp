#include "service/registers/RegisterWorker.h"

#include "ecr/commands/Utf8Path.h"
#include "service/jobs/JobJournal.h"
#include "service/jobs/JobJson.h"
#include "service/jobs/ServiceClock.h"
#include "service/metrics/ServiceMetrics.h"
#include "service/registers/ExchangeResult.h"
#include "service/registers/SettleLater.h"
#include "service/registers/StopRequested.h"

#include <cstdio>
#include <filesystem>

namespace {

// How often a journal that did not take an end is tried again.
constexpr std::chrono::milliseconds kJournalRetry{500};
// A line quiet this long is asked with the status enquiry before a fiscal job.
constexpr std::chrono::milliseconds kQuietBeforeCheck{3000};
// Totals read ahead hold this long for the next receipt. Only a sale made at
// the register's own keys meanwhile could change them; the next receipt's
// lost answer would then settle as unknown, not as printed, unless that sale
// came to the very same total.
constexpr std::chrono::seconds kTotalsAheadFor{30};

std::unique_ptr<DailySessionLog> MakeLog(const ServiceConfig& config, const std::string& registerId)
{
    if (!config.sessionLogs)
        return nullptr;
    return std::make_unique<DailySessionLog>(Utf8Name(Utf8Path(config.stateDirectory) / "logs"), registerId,
                                             config.keepLogDays);
}

}  // namespace

RegisterWorker::RegisterWorker(const ServiceConfig::Register& reg, const ServiceConfig& config, JobJournal& journal,
                               const ServiceClock& clock, ServiceMetrics& metrics, EventHub& events,
                               std::function<void(const std::string& jobId)> jobChanged)
    : m_register(reg),
      m_config(config),
      m_journal(journal),
      m_clock(clock),
      m_metrics(metrics),
      m_events(events),
      m_jobChanged(std::move(jobChanged)),
      m_log(MakeLog(config, reg.id)),
      m_link(m_register, config, clock, m_log.get(), &events,
             [this](double seconds) { m_metrics.Exchange(m_register.id, seconds); }),
      m_ends(journal)
{
}

RegisterWorker::~RegisterWorker()
{
    RequestStop();
    Join();
}

void RegisterWorker::Start()
{
    for (const JobRecord& job : m_journal.Unfinished(m_register.id)) {
        if (job.state == JobState::Running) {
            m_unsettled.push_back({job.id, "the service stopped while the job ran"});
            continue;
        }
        FailUnsent(job.id, job.kind, Problem::Code::ServiceStopped, "the service stopped before the job ran");
    }
    m_thread = std::thread([this] { Loop(); });
}

void RegisterWorker::RequestStop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

void RegisterWorker::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool RegisterWorker::Enqueue(const std::string& jobId, JobRequest request)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_queue.size() >= m_config.maxQueue)
            return false;
        m_queue.push_back({jobId, std::move(request), std::chrono::steady_clock::now()});
    }
    m_wake.notify_all();
    Changed();
    return true;
}

void RegisterWorker::Changed()
{
    m_events.Publish(RegisterChanged{m_register.id});
}

RegisterWorker::Snapshot RegisterWorker::State() const
{
    Snapshot snapshot;
    snapshot.link = m_link.GetState();
    snapshot.journalFailure = m_ends.Failure();
    std::lock_guard<std::mutex> lock(m_mutex);
    snapshot.runningJob = m_runningJob;
    snapshot.queued = m_queue.size();
    snapshot.unsettled = m_unsettled.size();
    return snapshot;
}

void RegisterWorker::Checkpoint() const
{
    if (m_stop)
        throw StopRequested();
}

bool RegisterWorker::AwaitWork()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_stop)
            return false;
        if (!m_ends.Empty()) {
            // The journal is tried again after a pause, or at once for a new job.
            m_wake.wait_for(lock, kJournalRetry);
            return !m_stop;
        }
        const bool open = m_link.IsOpen();
        const std::int64_t untilAttempt = open ? 0 : m_link.UntilNextAttemptMs();
        if (!m_queue.empty() || !m_probes.empty() || (open && !m_unsettled.empty()) || (!open && untilAttempt == 0))
            return true;
        if (open)
            m_wake.wait(lock);
        else
            m_wake.wait_for(lock, std::chrono::milliseconds(untilAttempt));
    }
}

std::optional<RegisterWorker::Queued> RegisterWorker::Next()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_queue.empty())
        return std::nullopt;
    Queued job = std::move(m_queue.front());
    m_queue.pop_front();
    m_runningJob = job.jobId;
    return job;
}

void RegisterWorker::FailQueued(Problem::Code code, const std::string& why)
{
    std::deque<Queued> failed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        failed.swap(m_queue);
    }
    for (const Queued& waiting : failed)
        FailUnsent(waiting.jobId, KindOf(waiting.request), code, why);
    if (!failed.empty())
        Changed();
}

void RegisterWorker::Loop()
{
    while (AwaitWork()) {
        AnswerProbes();
        // An end the journal has not taken comes first: until it is written,
        // nothing else starts, and what waits ends with nothing sent.
        if (!m_ends.Flush(m_jobChanged)) {
            FailQueued(Problem::Code::JournalUnavailable, "the journal cannot be written: " + m_ends.Failure());
            continue;
        }
        if (!m_link.IsOpen()) {
            if (m_link.UntilNextAttemptMs() == 0)
                m_link.Open();
            if (!m_link.IsOpen()) {
                // Every job that waits now fails at once: the register cannot be reached.
                FailQueued(Problem::Code::LinkFailure, "the register cannot be reached: " + m_link.GetState().error);
                continue;
            }
        }
        if (!SettleAll())
            continue;
        if (const std::optional<Queued> job = Next()) {
            Run(*job);
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_runningJob.clear();
            }
            Changed();
        }
    }
}

bool RegisterWorker::SettleAll()
{
    while (!m_unsettled.empty()) {
        const Unsettled next = m_unsettled.front();
        try {
            Checkpoint();
            const std::optional<JobRecord> job = m_journal.Find(next.jobId);
            if (job && !job->Finished())
                Finish(next.jobId, job->kind, MakeRunner(next.jobId).Settle(*job, next.cause));
        } catch (const SettleLater& later) {
            m_link.Drop(std::string("settling job ") + next.jobId + ": " + later.what(), true);
            return false;
        } catch (const StopRequested&) {
            return false;
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "ecrd: %s: settling job %s: %s\n", m_register.id.c_str(), next.jobId.c_str(),
                         failure.what());
            m_link.Drop(failure.what(), true);
            return false;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_unsettled.erase(m_unsettled.begin());
        }
        Changed();
    }
    return true;
}

void RegisterWorker::Run(const Queued& job)
{
    const JobKind kind = KindOf(job.request);
    const auto waited = std::chrono::steady_clock::now() - job.arrived;
    if (IsFiscal(kind) && waited > std::chrono::milliseconds(m_config.maxStartDelayMs)) {
        FailUnsent(job.jobId, kind, Problem::Code::TooLate,
                   "the job waited " +
                       std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(waited).count()) +
                       " ms for its register, longer than maxStartDelayMs (" +
                       std::to_string(m_config.maxStartDelayMs) + " ms)");
        return;
    }
    try {
        m_journal.MarkRunning(job.jobId, m_clock.NowMs());
    } catch (const JobJournal::Failure& failure) {
        FailUnsent(job.jobId, kind, Problem::Code::JournalUnavailable,
                   std::string("the journal cannot be written: ") + failure.what());
        return;
    }
    m_jobChanged(job.jobId);
    m_events.Publish(JobChanged{job.jobId, m_register.id, kind, JobState::Running, std::nullopt, "", m_clock.NowMs()});
    Changed();
    if (m_log)
        m_log->Note("ecrd: job " + job.jobId + " (" + std::string(kJobKindNames.Name(kind)) + ") begins");
    // A line quiet for a while may have died unseen (a device server that
    // gave it to another client, a device unplugged): asked first, and
    // opened again at once when it does not answer.
    if (IsFiscal(kind) && m_link.IdleFor(kQuietBeforeCheck) && !m_link.Check() && !Reopen("before job " + job.jobId)) {
        FailUnsent(job.jobId, kind, Problem::Code::LinkFailure,
                   "the register cannot be reached: " + m_link.GetState().error);
        return;
    }
    std::optional<RegisterTotals> totalsAhead = TakeTotalsAhead();
    try {
        JobRunner runner = MakeRunner(job.jobId);
        if (totalsAhead)
            runner.UseTotalsBefore(*totalsAhead);
        JobEnd end = runner.Run(job.request);
        // The reads before anything is sent (a receipt's totals, the clock)
        // are tried once more on a link opened again: nothing was sent.
        if (LostTheLine() && NothingSent(end) && Reopen("job " + job.jobId + " sent nothing"))
            end = MakeRunner(job.jobId).Run(job.request);
        // A register that stopped answering is logged on again before the next
        // job; the link is down before the job's end is heard.
        if (LostTheLine())
            m_link.Drop("no answer to the last request", false);
        m_link.Refresh();
        Finish(job.jobId, kind, end);
        if (m_config.readTotalsAhead && IsFiscal(kind) && end.outcome == Outcome::Printed)
            ReadTotalsAhead();
    } catch (const SettleLater& later) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_unsettled.push_back({job.jobId, later.what()});
        }
        m_link.Drop(std::string("job ") + job.jobId + ": " + later.what(), true);
    } catch (const StopRequested&) {
        if (m_log)
            m_log->Note("ecrd: job " + job.jobId + " left to be settled at the next start");
    } catch (const JobJournal::Failure& failure) {
        // What the job was about to record did not go in, so what it records
        // it before was not sent: reads only, or nothing at all.
        FailUnsent(job.jobId, kind, Problem::Code::JournalUnavailable,
                   std::string("the journal cannot be written: ") + failure.what());
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "ecrd: %s: job %s: %s\n", m_register.id.c_str(), job.jobId.c_str(), failure.what());
        Finish(job.jobId, kind,
               JobEnd::Failed(Problem(Problem::Code::Internal, failure.what(), Problem::Sent::Something)));
    }
}

bool RegisterWorker::LostTheLine() const
{
    return m_link.IsOpen() && m_link.Device().LastVerdict().kind == ECRVerdict::Kind::NoReply;
}

bool RegisterWorker::NothingSent(const JobEnd& end)
{
    return end.problem && end.problem->GetCode() == Problem::Code::LinkFailure &&
           end.problem->WhatWasSent() == Problem::Sent::Nothing;
}

bool RegisterWorker::Reopen(const std::string& why)
{
    m_link.Drop("the line did not answer (" + why + ")", false);
    return m_link.Open();
}

void RegisterWorker::Probe(std::function<void()> done)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_probes.push_back(std::move(done));
    }
    m_wake.notify_all();
}

void RegisterWorker::AnswerProbes()
{
    std::vector<std::function<void()>> probes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        probes.swap(m_probes);
    }
    if (probes.empty())
        return;
    if (m_link.IsOpen() && !m_link.Check())
        Reopen("a status enquiry");
    else if (!m_link.IsOpen() && m_link.UntilNextAttemptMs() == 0)
        m_link.Open();
    m_link.Refresh();
    for (const auto& done : probes)
        done();
    Changed();
}

void RegisterWorker::ReadTotalsAhead()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_queue.empty())
            return;  // the next job reads them itself, as soon as now
    }
    if (!m_link.IsOpen())
        return;
    std::array<ECRString, 13> totals;
    if (ExchangeResult::Of(m_link.Device(), [&] { m_link.Device().ReadTotalizers(totals); }).Accepted())
        m_totalsAhead =
            TotalsAhead{RegisterTotals::From(totals), std::chrono::steady_clock::now(), m_link.Generation()};
}

std::optional<RegisterTotals> RegisterWorker::TakeTotalsAhead()
{
    std::optional<TotalsAhead> ahead;
    ahead.swap(m_totalsAhead);
    if (!ahead || !m_link.IsOpen() || ahead->link != m_link.Generation() ||
        std::chrono::steady_clock::now() - ahead->at > kTotalsAheadFor)
        return std::nullopt;
    return ahead->totals;
}

bool RegisterWorker::Busy() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_runningJob.empty();
}

JobRunner RegisterWorker::MakeRunner(const std::string& jobId)
{
    return JobRunner(
        m_link.Device(), [this, jobId](const JobProgress& progress) { m_journal.SaveProgress(jobId, progress); },
        [this] { Checkpoint(); });
}

void RegisterWorker::FailUnsent(const std::string& jobId, JobKind kind, Problem::Code code, const std::string& why)
{
    JobEnd end = JobEnd::Failed(Problem(code, why + "; nothing was sent"));
    if (IsFiscal(kind))
        end.With(Outcome::NotPrinted);
    if (kind == JobKind::Receipt)
        end.With(ReceiptFate::NoneOpen);
    Finish(jobId, kind, end);
}

void RegisterWorker::Finish(const std::string& jobId, JobKind kind, const JobEnd& end)
{
    m_metrics.JobEnded(m_register.id, kJobKindNames.Name(kind), kJobStateNames.Name(end.state),
                       end.outcome ? kOutcomeNames.Name(*end.outcome) : std::string_view(),
                       end.seen.has_value() || !end.settled.empty());
    if (m_log)
        m_log->Note("ecrd: job " + jobId + " ends " + std::string(kJobStateNames.Name(end.state)) + ": " +
                    JobJson::End(end).Dump());
    m_events.Publish(JobChanged{jobId, m_register.id, kind, end.state, end.outcome, "", m_clock.NowMs()});
    const bool waitingBefore = !m_ends.Empty();
    m_ends.Add(jobId, end, m_clock.NowMs());
    if (!m_ends.Flush(m_jobChanged)) {
        if (!waitingBefore)
            std::fprintf(stderr, "ecrd: %s: the journal does not take job %s's end (%s): kept until it does\n",
                         m_register.id.c_str(), jobId.c_str(), m_ends.Failure().c_str());
        // Who waits for the job answers with the end kept here.
        m_jobChanged(jobId);
    }
}
