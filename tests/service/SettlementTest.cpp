// How a receipt or a daily report whose answer was lost is settled: every
// step a receipt can be interrupted at, against everything the register can
// show afterwards.
#include "service/registers/Settlement.h"

#include <gtest/gtest.h>

namespace {

// Grand totals (fiscal and non-fiscal) of 1000.00 + 5.00, today 50.00.
RegisterTotals Totals(const std::string& fiscalTotal, const std::string& fiscalToday = "5000")
{
    RegisterTotals totals;
    totals.figures = {"0", "0", "0", "0", "0", "0", "0", "0", "0", fiscalTotal, fiscalToday, "500", "0"};
    return totals;
}

constexpr std::int64_t kReceiptTotal = 7050;

struct Expected {
    JobState state;
    Outcome outcome;
    std::optional<ReceiptFate> fate;
};

struct Row {
    const char* seen;
    ReceiptObservation observation;
    Expected beforePayment;  // interrupted at any step before the payment went out
    Expected afterPayment;   // interrupted once it went out (or was about to)
};

ReceiptObservation Open(bool cancelled)
{
    ReceiptObservation seen;
    seen.receipt = ReceiptObservation::Receipt::Open;
    seen.cancelled = cancelled;
    if (!cancelled)
        seen.refusal = "the register refused cancelling the receipt";
    return seen;
}

ReceiptObservation NoneOpen(ReceiptObservation::Receipt receipt, const std::string& fiscalTotal)
{
    ReceiptObservation seen;
    seen.receipt = receipt;
    seen.totalsAfter = Totals(fiscalTotal);
    if (receipt == ReceiptObservation::Receipt::Unreadable)
        seen.refusal = "the register refused asking for the subtotal: Nema papira (trake) (code 12)";
    return seen;
}

using Seen = ReceiptObservation::Receipt;
const Expected kCancelled{JobState::Failed, Outcome::NotPrinted, ReceiptFate::Cancelled};
const Expected kLeftOpen{JobState::Failed, Outcome::NotPrinted, ReceiptFate::LeftOpen};
const Expected kNoneOpen{JobState::Failed, Outcome::NotPrinted, ReceiptFate::NoneOpen};
const Expected kPrinted{JobState::Done, Outcome::Printed, std::nullopt};
const Expected kUnknown{JobState::Unknown, Outcome::Unknown, std::nullopt};

const Row kRows[] = {
    {"open, cancelled", Open(true), kCancelled, kCancelled},
    {"open, the cancel refused", Open(false), kLeftOpen, kLeftOpen},
    {"closed, grown by the total", NoneOpen(Seen::Closed, "107050"), kNoneOpen, kPrinted},
    {"closed, unchanged", NoneOpen(Seen::Closed, "100000"), kNoneOpen, kNoneOpen},
    {"closed, grown by another amount", NoneOpen(Seen::Closed, "107051"), kNoneOpen, kUnknown},
    {"closed, grown by twice the total", NoneOpen(Seen::Closed, "114100"), kNoneOpen, kUnknown},
    {"closed, fallen", NoneOpen(Seen::Closed, "90000"), kNoneOpen, kUnknown},
    {"closed, a total that is no number", NoneOpen(Seen::Closed, "10x050"), kNoneOpen, kUnknown},
    {"subtotal refused, grown by the total", NoneOpen(Seen::Unreadable, "107050"), kLeftOpen, kPrinted},
    {"subtotal refused, unchanged", NoneOpen(Seen::Unreadable, "100000"), kLeftOpen, kNoneOpen},
};

const ReceiptStep kBeforePayment[] = {ReceiptStep::TotalsRead, ReceiptStep::Opened, ReceiptStep::LineSent,
                                      ReceiptStep::SubtotalAsked};
const ReceiptStep kAfterPayment[] = {ReceiptStep::PaymentAboutToGo, ReceiptStep::PaymentAnswered};

void Check(ReceiptStep step, const Row& row, const Expected& expected)
{
    SCOPED_TRACE(std::string(kReceiptStepNames.Name(step)) + ", then " + row.seen);
    ReceiptProgress progress;
    progress.step = step;
    progress.totalsBefore = Totals("100000");
    progress.linesSent = 2;
    progress.subtotal = kReceiptTotal;
    progress.payments = {10000, 0, 0};
    const JobEnd end = Settlement::Receipt(progress, row.observation, "no answer while paying");
    EXPECT_EQ(end.state, expected.state);
    EXPECT_EQ(end.outcome, expected.outcome);
    EXPECT_EQ(end.receipt, expected.fate);
    if (expected.state == JobState::Done) {
        const auto* result = std::get_if<ReceiptResult>(&end.result);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->total, kReceiptTotal);
        EXPECT_EQ(result->paid.cash, 10000);
        EXPECT_FALSE(end.settled.empty());
    } else {
        ASSERT_TRUE(end.problem.has_value());
        EXPECT_EQ(end.problem->Detail().rfind("no answer while paying; ", 0), 0u) << end.problem->Detail();
        EXPECT_FALSE(end.problem->Retryable()) << "something was sent";
    }
    // What was compared is shown whenever the totals decided.
    EXPECT_EQ(end.seen.has_value(), PaymentSent(step) && row.observation.totalsAfter.has_value());
}

}  // namespace

TEST(Settlement, AReceiptIsSettledFromItsStepAndWhatTheRegisterShows)
{
    for (const Row& row : kRows) {
        for (const ReceiptStep step : kBeforePayment)
            Check(step, row, row.beforePayment);
        for (const ReceiptStep step : kAfterPayment)
            Check(step, row, row.afterPayment);
    }
}

TEST(Settlement, ADailyReportIsSettledFromTodaysFigures)
{
    struct Case {
        const char* label;
        std::optional<RegisterTotals> before;
        RegisterTotals after;
        Expected expected;
    };
    const Expected printed{JobState::Done, Outcome::Printed, std::nullopt};
    const Expected notPrinted{JobState::Failed, Outcome::NotPrinted, std::nullopt};
    const Case cases[] = {
        {"today back to zero", Totals("100", "5000"), Totals("100", "0"), printed},
        {"today unchanged", Totals("100", "5000"), Totals("100", "5000"), notPrinted},
        {"no turnover since the last report", Totals("100", "0"), Totals("100", "0"), kUnknown},
        {"today changed otherwise", Totals("100", "5000"), Totals("100", "7000"), kUnknown},
        {"no totals from before", std::nullopt, Totals("100", "0"), kUnknown},
        {"a figure that is no number", Totals("100", "5000"), Totals("100", "5x00"), kUnknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const JobEnd end = Settlement::DailyReport(ReportProgress{c.before}, c.after, "no answer");
        EXPECT_EQ(end.state, c.expected.state);
        EXPECT_EQ(end.outcome, c.expected.outcome);
        ASSERT_TRUE(end.seen.has_value());
        EXPECT_EQ(end.seen->totalsAfter, c.after);
    }
}
