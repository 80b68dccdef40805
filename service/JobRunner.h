#pragma once

#include "service/JobEnd.h"
#include "service/JobRecord.h"
#include "service/JobRequest.h"

#include <functional>
#include <string>

class ECRDevice;
class JobJournal;

// Carries out one job on a logged-on device, judging every exchange by its
// verdict, and settles a job that the journal has as running after a stop
// or a crash. What a job does with a lost answer depends on what it is:
// a read fails (nothing changed); a write of the clock, the header or the
// articles is unknown (it may have been taken; sending it again is safe);
// a raw request is unknown; a receipt or a daily report is settled from
// the register (Settlement); a periodic report leaves no trace and is
// unknown. Before the first exchange that changes the register, each job
// records that it is sending, so that one interrupted before it is known
// to have sent nothing.
class JobRunner {
public:
    // checkpoint throws StopRequested between exchanges once the service stops.
    JobRunner(ECRDevice& device, JobJournal& journal, std::function<void()> checkpoint);

    // Throws SettleLater (a receipt or report whose answer was lost and
    // whose register cannot be asked) and StopRequested.
    JobEnd Run(const std::string& jobId, const JobRequest& request);
    // A job found running: cause says what interrupted it. Throws SettleLater.
    JobEnd Settle(const JobRecord& job, const std::string& cause);

private:
    void Sending(const std::string& jobId, JsonValue progress = JsonValue::Object());
    JobEnd DailyReport(const std::string& jobId);
    JobEnd PeriodicReport(const std::string& jobId, const JobRequest& request);
    JobEnd ReadArticles();
    JobEnd ImportArticles(const std::string& jobId, const JobRequest& request);
    JobEnd Raw(const std::string& jobId, const JobRequest& request);

    ECRDevice& m_device;
    JobJournal& m_journal;
    std::function<void()> m_checkpoint;
};
