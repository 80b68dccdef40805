#pragma once

#include "service/jobs/JobResult.h"
#include "service/jobs/JobState.h"
#include "service/jobs/Outcome.h"
#include "service/jobs/Problem.h"
#include "service/jobs/ReceiptFate.h"
#include "service/jobs/RegisterTotals.h"

#include <cstdint>
#include <optional>
#include <string>

// What the register showed when a lost answer was settled.
struct SettlementSeen {
    std::optional<std::int64_t> subtotal;  // a receipt's total, hundredths
    std::optional<RegisterTotals> totalsBefore;
    RegisterTotals totalsAfter;
};

// How a job ended: its final state, and for a fiscal job whether it was
// printed and what became of its receipt; the result, or the problem (a
// failed import has both); for a settled job what was seen and how it was
// settled.
struct JobEnd {
    JobState state = JobState::Done;
    std::optional<Outcome> outcome;
    std::optional<ReceiptFate> receipt;
    std::optional<Problem> problem;
    JobResult result;
    std::optional<SettlementSeen> seen;
    std::string settled;                // how a lost answer was settled, in words; empty when none was
    bool cancelledOpenReceipt = false;  // a receipt left open on the register was cancelled first

    static JobEnd Done(JobResult result);
    static JobEnd Failed(Problem problem);
    // The register may or may not have done it.
    static JobEnd Unknown(Problem problem);

    JobEnd& With(Outcome printed)
    {
        outcome = printed;
        return *this;
    }
    JobEnd& With(ReceiptFate fate)
    {
        receipt = fate;
        return *this;
    }
};
