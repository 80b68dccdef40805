#include "service/registers/Settlement.h"

#include "ecr/commands/ScaledAmount.h"

namespace {

using Seen = ReceiptObservation::Receipt;

JobEnd NotPrinted(const std::string& cause, ReceiptFate fate, const std::string& what)
{
    JobEnd end = JobEnd::Failed(Problem(Problem::Code::LinkFailure, cause + "; " + what, Problem::Sent::Something));
    end.With(Outcome::NotPrinted).With(fate);
    return end;
}

}  // namespace

JobEnd Settlement::Receipt(const ReceiptProgress& progress, const ReceiptObservation& seen, const std::string& cause)
{
    if (seen.receipt == Seen::Open) {
        // Still open: the payment, if it went out, was not taken.
        if (seen.cancelled)
            return NotPrinted(cause, ReceiptFate::Cancelled,
                              "the receipt was still open and has been cancelled; nothing was printed");
        return NotPrinted(cause, ReceiptFate::LeftOpen,
                          "the receipt is still open, nothing was printed; " + seen.refusal);
    }
    if (!PaymentSent(progress.step)) {
        if (seen.receipt == Seen::Unreadable)
            return NotPrinted(cause, ReceiptFate::LeftOpen, "no payment was sent; " + seen.refusal);
        return NotPrinted(cause, ReceiptFate::NoneOpen, "no payment was sent and no receipt is open");
    }

    // The payment went out and no receipt is open: did its total reach the totalizers?
    SettlementSeen shown;
    shown.subtotal = progress.subtotal;
    shown.totalsBefore = progress.totalsBefore;
    if (seen.totalsAfter)
        shown.totalsAfter = *seen.totalsAfter;
    const std::optional<std::int64_t> before = progress.totalsBefore.GrandTotal();
    const std::optional<std::int64_t> after = seen.totalsAfter ? seen.totalsAfter->GrandTotal() : std::nullopt;
    if (before && after && progress.subtotal > 0 && *after - *before == progress.subtotal) {
        JobEnd end = JobEnd::Done(ReceiptResult{progress.subtotal, progress.payments});
        end.With(Outcome::Printed);
        end.seen = shown;
        end.settled = cause + "; the register's totals grew by the receipt's total";
        return end;
    }
    if (before && after && *after == *before) {
        JobEnd end = NotPrinted(cause, ReceiptFate::NoneOpen,
                                "the receipt is closed but the register's totals did not change: it was not "
                                "printed (closed at the register without the payment)");
        end.seen = shown;
        return end;
    }
    JobEnd end =
        JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                cause +
                                    "; the receipt is closed and the register's totals changed by another "
                                    "amount than its total (" +
                                    FormatScaled(progress.subtotal, 2).Data() + "): whether it was printed is unknown",
                                Problem::Sent::Something));
    end.With(Outcome::Unknown);
    end.seen = shown;
    return end;
}

JobEnd Settlement::DailyReport(const ReportProgress& progress, const RegisterTotals& after, const std::string& cause)
{
    SettlementSeen shown;
    shown.totalsBefore = progress.totalsBefore;
    shown.totalsAfter = after;
    // Both readings are numbers, or nothing can be told from them.
    const std::optional<std::int64_t> before = progress.totalsBefore ? progress.totalsBefore->Today() : std::nullopt;
    const std::optional<std::int64_t> now = after.Today();
    const bool readable = before.has_value() && now.has_value();
    const std::int64_t todayBefore = before.value_or(0);
    const std::int64_t todayAfter = now.value_or(0);
    JobEnd end;
    if (readable && todayBefore != 0 && todayAfter == 0) {
        end = JobEnd::Done(ReportResult{});
        end.With(Outcome::Printed);
        end.settled = cause + "; today's figures went back to zero";
    } else if (readable && todayBefore != 0 && todayAfter == todayBefore) {
        end = JobEnd::Failed(Problem(Problem::Code::LinkFailure,
                                     cause + "; today's figures are unchanged: no report was made",
                                     Problem::Sent::Something));
        end.With(Outcome::NotPrinted);
    } else {
        end = JobEnd::Unknown(
            Problem(Problem::Code::OutcomeUnknown,
                    cause + (before.has_value() && todayBefore == 0
                                 ? "; there was no turnover since the last report, so the totalizers cannot tell "
                                   "whether it was made"
                                 : "; today's figures changed otherwise: whether the report was made is unknown"),
                    Problem::Sent::Something));
        end.With(Outcome::Unknown);
    }
    end.seen = shown;
    return end;
}
