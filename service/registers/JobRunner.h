#pragma once

#include "service/jobs/JobEnd.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/JobRecord.h"
#include "service/jobs/JobRequest.h"

#include <functional>
#include <optional>
#include <string>

class ECRDevice;

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
    // record writes a job's progress to the journal (throwing
    // JobJournal::Failure when it cannot); checkpoint throws StopRequested
    // between exchanges once the service stops.
    JobRunner(ECRDevice& device, std::function<void(const JobProgress&)> record, std::function<void()> checkpoint);

    // Throws SettleLater (a receipt or report whose answer was lost and
    // whose register cannot be asked) and StopRequested.
    JobEnd Run(const JobRequest& request);
    // The register's totals, read on this link with nothing sent since: a
    // receipt starts from them instead of reading them again.
    void UseTotalsBefore(RegisterTotals totals) { m_totalsBefore = std::move(totals); }
    // A job found running: cause says what interrupted it. Throws SettleLater.
    JobEnd Settle(const JobRecord& job, const std::string& cause);

private:
    JobEnd Receipt(const ReceiptRequest& request);
    JobEnd DailyReport();
    JobEnd PeriodicReport(const PeriodicReportRequest& request);
    JobEnd ReadClock();
    JobEnd SetClock(const SetClockRequest& request);
    JobEnd ReadHeader();
    JobEnd SetHeader(const SetHeaderRequest& request);
    JobEnd ReadArticles();
    JobEnd ImportArticles(const ImportArticlesRequest& request);
    JobEnd Raw(const RawRequest& request);
    JobEnd SnapshotReport();
    JobEnd ReadTotalizers();
    JobEnd ReadTaxRates();
    JobEnd CancelReceipt();
    JobEnd Display(const std::array<ECRString, 2>& lines);
    JobEnd InfoPrint(const InfoPrintRequest& request);
    // Sets the register's clock to the PC's, and reads it before and after.
    JobEnd SyncClock();

    ECRDevice& m_device;
    std::function<void(const JobProgress&)> m_record;
    std::function<void()> m_checkpoint;
    std::optional<RegisterTotals> m_totalsBefore;
};
