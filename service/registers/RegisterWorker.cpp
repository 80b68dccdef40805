#include "service/registers/RegisterWorker.h"

#include "ecr/commands/ECRTrafficDecoder.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "service/jobs/JobJournal.h"
#include "service/jobs/JobJson.h"
#include "service/jobs/ServiceClock.h"
#include "service/registers/SettleLater.h"
#include "service/registers/StopRequested.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

RegisterWorker::RegisterWorker(const ServiceConfig::Register& reg, const ServiceConfig& config, JobJournal& journal,
                               const ServiceClock& clock, std::function<void(const std::string& jobId)> jobChanged)
    : m_register(reg), m_config(config), m_journal(journal), m_clock(clock), m_jobChanged(std::move(jobChanged))
{
    if (config.sessionLogs)
        m_log = std::make_unique<DailySessionLog>((std::filesystem::path(config.stateDirectory) / "logs").string(),
                                                  reg.id, config.keepLogDays);
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
    m_state.unsettled = m_unsettled.size();
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
        m_queue.push_back({jobId, std::move(request)});
        m_state.queued = m_queue.size();
    }
    m_wake.notify_all();
    return true;
}

RegisterWorker::Snapshot RegisterWorker::State() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state;
}

void RegisterWorker::Checkpoint() const
{
    if (m_stop)
        throw StopRequested();
}

void RegisterWorker::Loop()
{
    for (;;) {
        std::optional<Queued> job;
        bool attemptDue = false;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto due = [&] { return m_clock.NowMs() >= m_state.nextOpenMs; };
            for (;;) {
                if (m_stop)
                    return;
                const bool open = m_link.IsOpen();
                if (!m_queue.empty() || (open && !m_unsettled.empty()) || (!open && due()))
                    break;
                if (open)
                    m_wake.wait(lock);
                else
                    m_wake.wait_for(lock, std::chrono::milliseconds(
                                              std::max<std::int64_t>(1, m_state.nextOpenMs - m_clock.NowMs())));
            }
            attemptDue = due();
        }
        if (!m_link.IsOpen()) {
            if (attemptDue)
                OpenLink();
            if (!m_link.IsOpen()) {
                // Every job that waits now fails at once: the register cannot be reached.
                std::deque<Queued> failed;
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    failed.swap(m_queue);
                    m_state.queued = 0;
                }
                for (const Queued& waiting : failed)
                    FailUnsent(waiting.jobId, KindOf(waiting.request), Problem::Code::LinkFailure,
                               "the register cannot be reached: " + State().linkError);
                continue;
            }
        }
        if (!SettleAll())
            continue;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_queue.empty())
                continue;
            job = std::move(m_queue.front());
            m_queue.pop_front();
            m_state.queued = m_queue.size();
            m_state.runningJob = job->jobId;
        }
        Run(*job);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_state.runningJob.clear();
    }
}

bool RegisterWorker::OpenLink()
{
    std::string error;
    if (!m_target.Address()) {
        LinkTarget::SimulatorOptions simulator;
        simulator.journalPath = m_register.simulatorJournal;
        simulator.baudRate = m_register.baudGiven ? m_register.baud : 0;
        switch (m_target.Resolve(m_register.port, simulator, error)) {
        case LinkTarget::Problem::None: break;
        case LinkTarget::Problem::BadName: error = "no such port: " + m_register.port; break;
        case LinkTarget::Problem::NoSimulator: error = "the simulated register is not available in this build"; break;
        case LinkTarget::Problem::SimulatorFailed: error = "cannot start the simulated register: " + error; break;
        }
    }
    if (m_target.Address()) {
        RegisterLink::Reports reports;
        if (m_log) {
            DailySessionLog* log = m_log.get();
            reports.requests = [log](ECRString text) {
                log->Traffic(ECRTrafficDecoder::EngineDirection(text.Data()),
                             std::string_view(text.Data(), text.Length()));
            };
            reports.reads = [log](ECRString text) {
                log->Traffic(ECRTrafficDirection::FromRegister, std::string_view(text.Data(), text.Length()));
            };
            reports.messages = [log](ECRString text) { log->Message(std::string_view(text.Data(), text.Length())); };
        }
        const PortAddress& address = *m_target.Address();
        try {
            if (m_link.Open(address, RegisterLink::Settings(m_register.baud, address.ComNumber()), reports)) {
                if (m_register.pollLimits)
                    m_link.Device()->Engine().SetPollLimits(*m_register.pollLimits);
                m_backOffMs = 0;
                if (m_log)
                    m_log->Note("ecrd: the link to " + address.Text() + " is open");
                std::lock_guard<std::mutex> lock(m_mutex);
                m_state.linkOpen = true;
                m_state.linkError.clear();
                m_state.linkChangedMs = m_clock.NowMs();
                m_state.statusByte = m_link.Status() & 0xFF;
                return true;
            }
            error = "the register does not answer on " + address.Text();
        } catch (const CommError& failure) {
            error = "cannot open " + address.Text() + ": " + CommErrorText(failure.code).Data();
        }
    }
    DropLink(error, true);
    return false;
}

void RegisterWorker::DropLink(const std::string& why, bool backOff)
{
    m_link.Release();
    if (backOff)
        m_backOffMs = m_backOffMs == 0 ? m_config.reopenFirstMs : std::min(m_backOffMs * 2, m_config.reopenMaxMs);
    if (m_log)
        m_log->Note("ecrd: the link is closed: " + why);
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasOpen = m_state.linkOpen;
    m_state.linkOpen = false;
    m_state.linkError = why;
    m_state.linkChangedMs = m_clock.NowMs();
    m_state.nextOpenMs = m_clock.NowMs() + (backOff ? m_backOffMs : 0);
    if (wasOpen || backOff)
        std::fprintf(stderr, "ecrd: %s: %s\n", m_register.id.c_str(), why.c_str());
}

bool RegisterWorker::SettleAll()
{
    while (!m_unsettled.empty()) {
        const Unsettled next = m_unsettled.front();
        try {
            Checkpoint();
            const std::optional<JobRecord> job = m_journal.Find(next.jobId);
            if (job && !job->Finished())
                Finish(next.jobId, MakeRunner(next.jobId).Settle(*job, next.cause));
        } catch (const SettleLater& later) {
            DropLink(std::string("settling job ") + next.jobId + ": " + later.what(), true);
            return false;
        } catch (const StopRequested&) {
            return false;
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "ecrd: %s: settling job %s: %s\n", m_register.id.c_str(), next.jobId.c_str(),
                         failure.what());
            DropLink(failure.what(), true);
            return false;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_unsettled.erase(m_unsettled.begin());
        m_state.unsettled = m_unsettled.size();
    }
    return true;
}

void RegisterWorker::Run(const Queued& job)
{
    try {
        m_journal.MarkRunning(job.jobId, m_clock.NowMs());
    } catch (const JobJournal::Failure& failure) {
        std::fprintf(stderr, "ecrd: %s: job %s: %s\n", m_register.id.c_str(), job.jobId.c_str(), failure.what());
        return;
    }
    m_jobChanged(job.jobId);
    if (m_log)
        m_log->Note("ecrd: job " + job.jobId + " (" + std::string(kJobKindNames.Name(KindOf(job.request))) +
                    ") begins");
    ECRDevice& device = *m_link.Device();
    try {
        const JobEnd end = MakeRunner(job.jobId).Run(job.request);
        // A register that stopped answering is logged on again before the next
        // job; the link is down before the job's end is heard.
        if (device.LastVerdict().kind == ECRVerdict::Kind::NoReply)
            DropLink("no answer to the last request", false);
        Finish(job.jobId, end);
    } catch (const SettleLater& later) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_unsettled.push_back({job.jobId, later.what()});
            m_state.unsettled = m_unsettled.size();
        }
        DropLink(std::string("job ") + job.jobId + ": " + later.what(), true);
        return;
    } catch (const StopRequested&) {
        if (m_log)
            m_log->Note("ecrd: job " + job.jobId + " left to be settled at the next start");
        return;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "ecrd: %s: job %s: %s\n", m_register.id.c_str(), job.jobId.c_str(), failure.what());
        try {
            Finish(job.jobId,
                   JobEnd::Failed(Problem(Problem::Code::Internal, failure.what(), Problem::Sent::Something)));
        } catch (const std::exception&) {
        }
    }
}

JobRunner RegisterWorker::MakeRunner(const std::string& jobId)
{
    return JobRunner(
        *m_link.Device(), [this, jobId](const JobProgress& progress) { m_journal.SaveProgress(jobId, progress); },
        [this] { Checkpoint(); });
}

void RegisterWorker::FailUnsent(const std::string& jobId, JobKind kind, Problem::Code code, const std::string& why)
{
    JobEnd end = JobEnd::Failed(Problem(code, why + "; nothing was sent"));
    if (IsFiscal(kind))
        end.With(Outcome::NotPrinted);
    if (kind == JobKind::Receipt)
        end.With(ReceiptFate::NoneOpen);
    try {
        Finish(jobId, end);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "ecrd: %s: job %s: %s\n", m_register.id.c_str(), jobId.c_str(), failure.what());
    }
}

void RegisterWorker::Finish(const std::string& jobId, const JobEnd& end)
{
    m_journal.Finish(jobId, end, m_clock.NowMs());
    if (m_log)
        m_log->Note("ecrd: job " + jobId + " ends " + std::string(kJobStateNames.Name(end.state)) + ": " +
                    JobJson::End(end).Dump());
    m_jobChanged(jobId);
}
