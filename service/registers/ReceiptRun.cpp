#include "service/registers/ReceiptRun.h"

#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECRReceipt.h"
#include "service/jobs/JobJournal.h"
#include "service/registers/ExchangeResult.h"
#include "service/registers/SettleLater.h"
#include "service/registers/Settlement.h"
#include "service/registers/SettlementProbe.h"

namespace {

// Cancels the open receipt: true when accepted; refusal then says why not.
// SettleLater when the answer is lost.
bool Cancel(ECRDevice& device, std::string& refusal)
{
    const ExchangeResult cancel = ExchangeResult::Of(device, [&] { ECRReceipt(device).Cancel(); });
    if (cancel.kind == ExchangeResult::Kind::Lost)
        throw SettleLater(cancel.Words("cancelling the receipt"));
    if (!cancel.Accepted())
        refusal = cancel.Words("cancelling the receipt");
    return cancel.Accepted();
}

}  // namespace

ReceiptRun::ReceiptRun(ECRDevice& device, std::function<void(const JobProgress&)> record,
                       std::function<void()> checkpoint)
    : m_device(device), m_record(std::move(record)), m_checkpoint(std::move(checkpoint))
{
}

JobEnd ReceiptRun::Interrupted(const ExchangeResult& result, const std::string& doing)
{
    if (result.kind == ExchangeResult::Kind::Lost)
        return Settlement::Receipt(m_progress, SettlementProbe::Receipt(m_device), result.Words(doing));
    // Refused: the receipt, if one is open, is cancelled; nothing was printed.
    Problem problem = result.ToProblem(doing, Problem::Code::LinkFailure, Problem::Sent::Something);
    ReceiptFate fate = ReceiptFate::NoneOpen;
    if (m_progress.step != ReceiptStep::TotalsRead) {
        std::string refusal;
        fate = Cancel(m_device, refusal) ? ReceiptFate::Cancelled : ReceiptFate::LeftOpen;
        if (!refusal.empty())
            problem.AddDetail(refusal);
        else
            m_progress.step = ReceiptStep::Cancelled;
    }
    JobEnd end = JobEnd::Failed(problem);
    end.With(Outcome::NotPrinted).With(fate);
    return end;
}

JobEnd ReceiptRun::Run(const ReceiptRequest& request, const std::optional<RegisterTotals>& totalsBefore)
{
    // The totals the settlement compares with: read before anything fiscal is sent.
    if (totalsBefore) {
        m_progress.totalsBefore = *totalsBefore;
    } else {
        std::array<ECRString, 13> totals;
        const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTotalizers(totals); });
        if (!read.Accepted()) {
            JobEnd end = JobEnd::Failed(read.ToProblem("reading the totalizers before the receipt",
                                                       Problem::Code::LinkFailure, Problem::Sent::Nothing));
            end.With(Outcome::NotPrinted).With(ReceiptFate::NoneOpen);
            return end;
        }
        m_progress.totalsBefore = RegisterTotals::From(totals);
    }
    m_progress.step = ReceiptStep::TotalsRead;
    m_record(m_progress);
    m_checkpoint();

    ECRReceipt receipt(m_device);
    ECRReceipt::Opening opening = ECRReceipt::Opening::NotOpened;
    const auto open = [&] {
        return ExchangeResult::Of(m_device, [&] { opening = receipt.Open(request.registerNumber, request.cashier); });
    };
    ExchangeResult opened = open();
    bool cancelledLeftover = false;
    if (opening == ECRReceipt::Opening::AlreadyOpen) {
        // A receipt nobody can finish any more blocks every sale: cancel it first.
        std::string refusal;
        if (!Cancel(m_device, refusal)) {
            JobEnd end =
                JobEnd::Failed(Problem(Problem::Code::Refused,
                                       "a receipt is already open on the register and cannot be cancelled: " + refusal,
                                       Problem::Sent::Something));
            end.With(Outcome::NotPrinted).With(ReceiptFate::LeftOpen);
            return end;
        }
        cancelledLeftover = true;
        opened = open();
    }
    if (!opened.Accepted() || opening != ECRReceipt::Opening::Opened)
        return Interrupted(opened, "opening the receipt");
    m_progress.step = ReceiptStep::Opened;

    for (std::size_t i = 0; i < request.lines.size(); ++i) {
        m_checkpoint();
        const ExchangeResult sold = ExchangeResult::Of(m_device, [&] { receipt.Sell(request.lines[i]); });
        if (!sold.Accepted())
            return Interrupted(sold, "selling line " + std::to_string(i + 1));
        m_progress.step = ReceiptStep::LineSent;
        m_progress.linesSent = i + 1;
    }
    m_checkpoint();
    std::optional<std::int32_t> subtotal;
    const ExchangeResult asked = ExchangeResult::Of(m_device, [&] { subtotal = receipt.Subtotal(); });
    if (!asked.Accepted() || !subtotal)
        return Interrupted(asked, "reading the subtotal");
    m_progress.step = ReceiptStep::SubtotalAsked;
    m_progress.subtotal = *subtotal;

    // Recorded before the payment goes out: from here on, only the register can say whether it was printed.
    m_progress.step = ReceiptStep::PaymentAboutToGo;
    m_progress.payments = request.payments.value_or(ECRPayments{*subtotal, 0, 0});
    try {
        m_record(m_progress);
    } catch (const JobJournal::Failure& failure) {
        // Without the record a crash could not be settled: the payment is not sent.
        std::string refusal;
        const ReceiptFate fate = Cancel(m_device, refusal) ? ReceiptFate::Cancelled : ReceiptFate::LeftOpen;
        JobEnd end = JobEnd::Failed(Problem(Problem::Code::JournalUnavailable,
                                            std::string(failure.what()) + "; the payment was not sent" +
                                                (refusal.empty() ? ", the receipt was cancelled" : "; " + refusal),
                                            Problem::Sent::Something));
        end.With(Outcome::NotPrinted).With(fate);
        return end;
    }

    const ExchangeResult paid = ExchangeResult::Of(m_device, [&] { receipt.Pay(m_progress.payments); });
    if (!paid.Accepted())
        return Interrupted(paid, "paying");
    m_progress.step = ReceiptStep::Closed;
    JobEnd end = JobEnd::Done(ReceiptResult{*subtotal, m_progress.payments});
    end.With(Outcome::Printed);
    end.cancelledOpenReceipt = cancelledLeftover;
    return end;
}
