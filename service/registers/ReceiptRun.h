#pragma once

#include "service/jobs/JobEnd.h"
#include "service/jobs/JobProgress.h"
#include "service/jobs/JobRequest.h"

#include <functional>
#include <optional>
#include <string>

class ECRDevice;
struct ExchangeResult;

// One receipt, exactly once, as a machine of ReceiptSteps: the register's
// totals are read, the receipt is opened ("*t"), its lines sold ("*l"), its
// subtotal read ("*u") and the payment sent ("*e"), each through
// ECRReceipt. Before the receipt is opened and before the payment goes out,
// the step is recorded (the second synced to the disk), so that a lost
// answer, a crash or a stop is settled from the register (Settlement) and
// nothing fiscal is ever sent twice. A refusal cancels the receipt. A
// receipt left open on the register (by an earlier job that could not
// cancel it, or by hand) is cancelled before the new one is opened, and
// the end says so.
class ReceiptRun {
public:
    // record writes the progress to the journal (throwing JobJournal::Failure
    // when it cannot); checkpoint is called between two exchanges and throws
    // StopRequested when the service stops.
    ReceiptRun(ECRDevice& device, std::function<void(const JobProgress&)> record, std::function<void()> checkpoint);

    // Throws SettleLater when an answer was lost and the register cannot be
    // asked what became of the receipt, StopRequested when stopping.
    // totalsBefore: the register's totals as read on this link with nothing
    // sent since (RegisterWorker reads them ahead, off a till's wait); none:
    // they are read first.
    JobEnd Run(const ReceiptRequest& request, const std::optional<RegisterTotals>& totalsBefore = std::nullopt);

    const ReceiptProgress& Progress() const { return m_progress; }

private:
    // Ends the job when an exchange of the receipt was not accepted.
    JobEnd Interrupted(const ExchangeResult& result, const std::string& doing);

    ECRDevice& m_device;
    std::function<void(const JobProgress&)> m_record;
    std::function<void()> m_checkpoint;
    ReceiptProgress m_progress;
};
