#pragma once

#include "service/JobEnd.h"
#include "service/JobRequest.h"

#include <functional>
#include <string>

class ECRDevice;
class JobJournal;

// One receipt, exactly once: the register's totals are read, the receipt
// is opened ("*t"), its lines sold ("*l"), its subtotal read ("*u") and
// the payment sent ("*e"). Before the receipt is opened and before the
// payment is sent the journal records what is about to go out, with the
// totals, so that a lost answer, a crash or a stop is settled from the
// register (Settlement) and nothing fiscal is ever sent twice. A refusal
// cancels the receipt. A receipt left open on the register (by an earlier
// job that could not cancel it, or by hand) is cancelled before the new
// one is opened, and the result says so.
class ReceiptRun {
public:
    // Device error code: a receipt is already open.
    static constexpr std::int32_t kReceiptOpen = 57;

    // checkpoint is called between two exchanges; it throws StopRequested
    // when the service stops.
    ReceiptRun(ECRDevice& device, JobJournal& journal, std::string jobId, std::function<void()> checkpoint);

    // Throws SettleLater when an answer was lost and the register cannot be
    // asked what became of the receipt, StopRequested when stopping.
    JobEnd Run(const JobRequest& request);

private:
    // Ends the job when an exchange of the receipt was not accepted.
    JobEnd Interrupted(const struct ExchangeResult& result, const std::string& doing);

    ECRDevice& m_device;
    JobJournal& m_journal;
    std::string m_jobId;
    std::function<void()> m_checkpoint;
    JsonValue m_progress = JsonValue::Object();
};
