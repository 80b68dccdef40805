#include "service/Settlement.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ScaledAmount.h"
#include "service/ExchangeResult.h"

#include <charconv>

namespace {

constexpr std::size_t kFiscalTotal = 9;
constexpr std::size_t kFiscalToday = 10;
constexpr std::size_t kNonFiscalTotal = 11;
constexpr std::size_t kNonFiscalToday = 12;

// A totalizer's digits; none for anything else.
std::optional<std::int64_t> Figure(const JsonValue& totals, std::size_t index)
{
    if (totals.GetKind() != JsonValue::Kind::Array || index >= totals.Items().size())
        return std::nullopt;
    const std::string& text = totals.Items()[index].AsString();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

// The sum of the figures at these indices; none when one is not a number.
template <std::size_t N>
std::optional<std::int64_t> Sum(const JsonValue& totals, const std::size_t (&indices)[N])
{
    std::int64_t sum = 0;
    for (const std::size_t index : indices) {
        const std::optional<std::int64_t> figure = Figure(totals, index);
        if (!figure)
            return std::nullopt;
        sum += *figure;
    }
    return sum;
}

constexpr std::size_t kGrandTotals[] = {kFiscalTotal, kNonFiscalTotal};
constexpr std::size_t kToday[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, kFiscalToday, kNonFiscalToday};

std::string Amount(std::int64_t hundredths)
{
    return FormatScaled(static_cast<std::int32_t>(hundredths), 2).Data();
}

JobEnd NotPrinted(const std::string& cause, const char* disposition, const std::string& what)
{
    JobEnd end = JobEnd::Failed(Problem(Problem::Code::LinkFailure, cause + "; " + what));
    end.Outcome("not printed").Receipt(disposition);
    return end;
}

}  // namespace

JsonValue Settlement::ReadTotalizers(ECRDevice& device)
{
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(device, [&] { device.ReadTotalizers(totals); });
    if (!read.Accepted())
        throw SettleLater(read.Words("reading the totalizers"));
    JsonValue json = JsonValue::Array();
    for (const ECRString& total : totals)
        json.Push(ECRCodePage::ToUtf8(std::string_view(total.Data(), total.Length())));
    return json;
}

JsonValue Settlement::ReceiptResult(std::int64_t total, const std::array<std::int32_t, 3>& payments)
{
    JsonValue result = JsonValue::Object();
    result.Set("total", Amount(total));
    JsonValue& paid = result.Set("paid", JsonValue::Object());
    paid.Set("cash", Amount(payments[0]));
    paid.Set("cheque", Amount(payments[1]));
    paid.Set("card", Amount(payments[2]));
    result.Set("change", Amount(std::int64_t{payments[0]} + payments[1] + payments[2] - total));
    return result;
}

const char* Settlement::Cancel(ECRDevice& device, std::string& refusal)
{
    const ExchangeResult cancel = ExchangeResult::Of(device, [&] { device.CancelTransaction(); });
    if (cancel.kind == ExchangeResult::Kind::Lost)
        throw SettleLater(cancel.Words("cancelling the receipt"));
    if (cancel.kind == ExchangeResult::Kind::Refused) {
        refusal = cancel.Words("cancelling the receipt");
        return "left open";
    }
    device.SetTransactionOpen(false);
    return "cancelled";
}

JobEnd Settlement::Receipt(ECRDevice& device, const JsonValue& progress, const std::string& cause)
{
    const JsonValue* step = progress.Find("step");
    const bool paying = step != nullptr && step->AsString() == "paying";
    const ExchangeResult open = ExchangeResult::Of(device, [&] { device.ReadSubtotal(); });
    if (open.kind == ExchangeResult::Kind::Lost)
        throw SettleLater(open.Words("asking whether the receipt is open"));
    if (open.Accepted()) {
        // Still open: the payment, if it was sent, was not taken.
        device.SetTransactionOpen(true);
        std::string refusal;
        const char* disposition = Cancel(device, refusal);
        return NotPrinted(cause, disposition,
                          refusal.empty() ? "the receipt was still open and has been cancelled; nothing was printed"
                                          : "the receipt is still open, nothing was printed; " + refusal);
    }
    if (!open.Refused(kNoReceiptOpen) && !paying)
        return NotPrinted(cause, "left open", "no payment was sent; " + open.Words("asking for the subtotal"));
    if (open.Refused(kNoReceiptOpen))
        device.SetTransactionOpen(false);
    if (!paying)
        return NotPrinted(cause, "none open", "no payment was sent and no receipt is open");

    // The payment went out and the receipt is closed: did its total reach the totalizers?
    const JsonValue* recordedBefore = progress.Find("totalsBefore");
    const JsonValue* recordedTotal = progress.Find("subtotal");
    if (recordedBefore == nullptr || recordedTotal == nullptr) {
        JobEnd end = JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                             cause + "; the receipt is closed, and the journal lacks the totals to "
                                                     "compare with"));
        end.Outcome("unknown");
        return end;
    }
    const JsonValue& before = *recordedBefore;
    const std::int64_t total = recordedTotal->AsNumber();
    const JsonValue after = ReadTotalizers(device);
    JsonValue seen = JsonValue::Object();
    seen.Set("subtotal", Amount(total));
    seen.Set("totalsBefore", before);
    seen.Set("totalsAfter", after);
    const std::optional<std::int64_t> grandBefore = Sum(before, kGrandTotals);
    const std::optional<std::int64_t> grandAfter = Sum(after, kGrandTotals);
    if (grandBefore && grandAfter && total > 0 && *grandAfter - *grandBefore == total) {
        std::array<std::int32_t, 3> payments{};
        if (const JsonValue* sent = progress.Find("payments")) {
            for (std::size_t i = 0; i < payments.size() && i < sent->Items().size(); ++i)
                payments[i] = static_cast<std::int32_t>(sent->Items()[i].AsNumber());
        }
        JobEnd end = JobEnd::Done(ReceiptResult(total, payments));
        end.Outcome("printed").Seen(std::move(seen));
        end.doc.Set("settled", cause + "; the register's totals grew by the receipt's total");
        return end;
    }
    if (grandBefore && grandAfter && *grandAfter == *grandBefore) {
        JobEnd end = NotPrinted(cause, "none open",
                                "the receipt is closed but the register's totals did not change: it was not "
                                "printed (closed at the register without the payment)");
        end.Seen(std::move(seen));
        return end;
    }
    JobEnd end = JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                         cause + "; the receipt is closed and the register's totals changed by "
                                                 "another amount than its total: whether it was printed is unknown"));
    end.Outcome("unknown").Seen(std::move(seen));
    return end;
}

JobEnd Settlement::DailyReport(ECRDevice& device, const JsonValue& progress, const std::string& cause)
{
    static const JsonValue kNone = JsonValue::Array();
    const JsonValue& before = progress.Find("totalsBefore") != nullptr ? *progress.Find("totalsBefore") : kNone;
    const JsonValue after = ReadTotalizers(device);
    JsonValue seen = JsonValue::Object();
    seen.Set("totalsBefore", before);
    seen.Set("totalsAfter", after);
    const std::optional<std::int64_t> todayBefore = Sum(before, kToday);
    const std::optional<std::int64_t> todayAfter = Sum(after, kToday);
    if (todayBefore && todayAfter && *todayBefore != 0 && *todayAfter == 0) {
        JobEnd end = JobEnd::Done(JsonValue::Object());
        end.Outcome("printed").Seen(std::move(seen));
        end.doc.Set("settled", cause + "; today's figures went back to zero");
        return end;
    }
    if (todayBefore && todayAfter && *todayBefore != 0 && *todayAfter == *todayBefore) {
        JobEnd end = JobEnd::Failed(
            Problem(Problem::Code::LinkFailure, cause + "; today's figures are unchanged: no report was made"));
        end.Outcome("not printed").Seen(std::move(seen));
        return end;
    }
    JobEnd end = JobEnd::Unknown(Problem(
        Problem::Code::OutcomeUnknown,
        cause +
            (todayBefore && *todayBefore == 0
                 ? "; there was no turnover since the last report, so the totalizers cannot tell whether it was made"
                 : "; today's figures changed otherwise: whether the report was made is unknown")));
    end.Outcome("unknown").Seen(std::move(seen));
    return end;
}
