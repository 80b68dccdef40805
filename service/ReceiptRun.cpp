#include "service/ReceiptRun.h"

#include "ecr/commands/ECRDevice.h"
#include "service/ExchangeResult.h"
#include "service/JobJournal.h"
#include "service/Settlement.h"

ReceiptRun::ReceiptRun(ECRDevice& device, JobJournal& journal, std::string jobId, std::function<void()> checkpoint)
    : m_device(device), m_journal(journal), m_jobId(std::move(jobId)), m_checkpoint(std::move(checkpoint))
{
}

JobEnd ReceiptRun::Interrupted(const ExchangeResult& result, const std::string& doing)
{
    if (result.kind == ExchangeResult::Kind::Lost)
        return Settlement::Receipt(m_device, m_progress, result.Words(doing));
    // Refused: the receipt, if one is open, is cancelled; nothing was printed.
    Problem problem = result.ToProblem(doing, Problem::Code::LinkFailure);
    const JsonValue* step = m_progress.Find("step");
    const char* disposition = "none open";
    if (step != nullptr && step->AsString() != "opening") {
        std::string refusal;
        disposition = Settlement::Cancel(m_device, refusal);
        if (!refusal.empty())
            problem = Problem(Problem::Code::Refused, problem.Detail() + "; " + refusal);
    }
    problem.Extra().Set("receipt", disposition);
    JobEnd end = JobEnd::Failed(problem);
    end.Outcome("not printed").Receipt(disposition);
    return end;
}

JobEnd ReceiptRun::Run(const JobRequest& request)
{
    // The totals the settlement compares with: read before anything fiscal is sent.
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTotalizers(totals); });
    if (!read.Accepted()) {
        JobEnd end =
            JobEnd::Failed(read.ToProblem("reading the totalizers before the receipt", Problem::Code::LinkFailure));
        end.Outcome("not printed").Receipt("none open");
        return end;
    }
    m_progress.Set("step", "opening");
    JsonValue& before = m_progress.Set("totalsBefore", JsonValue::Array());
    for (const ECRString& total : totals)
        before.Push(std::string(total.Data(), total.Length()));
    // Past a crash is enough here: without the payment nothing is printed, and
    // a receipt a power cut leaves open is cancelled before the next one.
    m_journal.SaveProgress(m_jobId, m_progress, JobJournal::Keep::PastCrash);
    m_checkpoint();

    // The device's flag follows what the register said, not the design's rules.
    m_device.SetTransactionOpen(false);
    ExchangeResult open =
        ExchangeResult::Of(m_device, [&] { m_device.BeginTransaction(request.registerNumber, request.cashier); });
    bool cancelledLeftover = false;
    if (open.Refused(kReceiptOpen)) {
        // A receipt nobody can finish any more blocks every sale: cancel it first.
        m_progress.Set("step", "selling");
        std::string refusal;
        if (std::string(Settlement::Cancel(m_device, refusal)) != "cancelled") {
            m_progress.Set("step", "opening");
            JobEnd end = JobEnd::Failed(
                Problem(Problem::Code::Refused,
                        "a receipt is already open on the register and cannot be cancelled: " + refusal));
            end.Outcome("not printed").Receipt("left open");
            return end;
        }
        cancelledLeftover = true;
        m_progress.Set("step", "opening");
        m_device.SetTransactionOpen(false);
        open =
            ExchangeResult::Of(m_device, [&] { m_device.BeginTransaction(request.registerNumber, request.cashier); });
    }
    if (!open.Accepted())
        return Interrupted(open, "opening the receipt");
    m_progress.Set("step", "selling");
    m_device.SetTransactionOpen(true);

    for (std::size_t i = 0; i < request.lines.size(); ++i) {
        m_checkpoint();
        const JobRequest::SaleLine& line = request.lines[i];
        const ExchangeResult sold = ExchangeResult::Of(m_device, [&] {
            m_device.SellItem(line.name, line.price, line.quantity, line.taxRate, line.unit);
        });
        if (!sold.Accepted())
            return Interrupted(sold, "selling line " + std::to_string(i + 1));
    }
    m_checkpoint();
    std::int32_t subtotal = 0;
    const ExchangeResult asked = ExchangeResult::Of(m_device, [&] { subtotal = m_device.ReadSubtotal(); });
    if (!asked.Accepted())
        return Interrupted(asked, "reading the subtotal");
    const std::array<std::int32_t, 3> payments = request.payments.value_or(std::array<std::int32_t, 3>{subtotal, 0, 0});

    // Written before the payment goes out: from here on, only the register can say whether it was printed.
    m_progress.Set("step", "paying");
    m_progress.Set("subtotal", subtotal);
    JsonValue& sent = m_progress.Set("payments", JsonValue::Array());
    for (const std::int32_t amount : payments)
        sent.Push(amount);
    try {
        m_journal.SaveProgress(m_jobId, m_progress, JobJournal::Keep::PastPowerCut);
    } catch (const JobJournal::Failure& failure) {
        // Without the record a crash could not be settled: the payment is not sent.
        std::string refusal;
        const char* disposition = Settlement::Cancel(m_device, refusal);
        JobEnd end = JobEnd::Failed(
            Problem(Problem::Code::Internal, std::string(failure.what()) + "; the payment was not sent" +
                                                 (refusal.empty() ? ", the receipt was cancelled" : "; " + refusal)));
        end.Outcome("not printed").Receipt(disposition);
        return end;
    }

    const ExchangeResult paid =
        ExchangeResult::Of(m_device, [&] { m_device.EndTransaction(payments[0], payments[1], payments[2]); });
    if (!paid.Accepted())
        return Interrupted(paid, "paying");
    JobEnd end = JobEnd::Done(Settlement::ReceiptResult(subtotal, payments));
    end.Outcome("printed");
    if (cancelledLeftover)
        end.doc.Set("cancelledOpenReceipt", true);
    return end;
}
