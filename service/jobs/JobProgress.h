#pragma once

#include "ecr/commands/ECRPayments.h"
#include "service/jobs/ReceiptStep.h"
#include "service/jobs/RegisterTotals.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>

// What a job has done so far, as the journal keeps it: written before each
// step that cannot be taken back, so that a job interrupted by a lost
// answer, a crash or a stop is settled from it and from the register.

// A job other than a receipt or a report began sending: whatever it sent may have arrived.
struct SendingProgress {};

// A report is being printed; a daily report with the totals read before it.
struct ReportProgress {
    std::optional<RegisterTotals> totalsBefore;
};

// Where a receipt stands.
struct ReceiptProgress {
    ReceiptStep step = ReceiptStep::TotalsRead;
    RegisterTotals totalsBefore;
    std::size_t linesSent = 0;
    std::int64_t subtotal = 0;  // hundredths, from SubtotalAsked on
    ECRPayments payments;       // from PaymentAboutToGo on
};

// Nothing sent yet (std::monostate), or one of the above.
using JobProgress = std::variant<std::monostate, SendingProgress, ReportProgress, ReceiptProgress>;

// How long a recorded progress must last: past a crash of the service
// (every commit), or past a power cut too (synced to the disk first). What
// settles a fiscal job must outlast a power cut: a receipt's payment about
// to go, and a report's totals; anything else sent again is harmless, or
// settled from the register without it.
enum class Durability { PastCrash, PastPowerCut };

inline Durability DurabilityOf(const JobProgress& progress)
{
    if (const auto* receipt = std::get_if<ReceiptProgress>(&progress))
        return receipt->step == ReceiptStep::PaymentAboutToGo ? Durability::PastPowerCut : Durability::PastCrash;
    if (const auto* report = std::get_if<ReportProgress>(&progress))
        return report->totalsBefore ? Durability::PastPowerCut : Durability::PastCrash;
    return Durability::PastCrash;
}

// Nothing was sent: the job can be failed (or run again) without asking the register.
inline bool NothingSent(const JobProgress& progress)
{
    return std::holds_alternative<std::monostate>(progress);
}
