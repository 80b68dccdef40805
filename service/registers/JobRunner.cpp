#include "service/registers/JobRunner.h"

#include "ecr/articles/ArticleUpload.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECROperations.h"
#include "ecr/commands/ECRReceipt.h"
#include "ecr/protocol/DeviceCode.h"
#include "service/jobs/Overloaded.h"
#include "service/registers/ExchangeResult.h"
#include "service/registers/LocalTime.h"
#include "service/registers/ReceiptRun.h"
#include "service/registers/Settlement.h"
#include "service/registers/SettlementProbe.h"
#include "service/registers/StopRequested.h"

#include <ctime>

namespace {

// A read: accepted gives the result; refused or lost, it failed and nothing changed.
JobEnd ReadEnd(const ExchangeResult& read, const std::string& doing, JobResult result)
{
    if (read.Accepted())
        return JobEnd::Done(std::move(result));
    return JobEnd::Failed(read.ToProblem(doing, Problem::Code::LinkFailure, Problem::Sent::Nothing));
}

// A write that may be sent again: lost, whether it was taken is unknown.
JobEnd WriteEnd(const ExchangeResult& write, const std::string& doing, JobResult result)
{
    if (write.Accepted())
        return JobEnd::Done(std::move(result));
    if (write.kind == ExchangeResult::Kind::Refused)
        return JobEnd::Failed(write.ToProblem(doing, Problem::Code::LinkFailure, Problem::Sent::Something));
    return JobEnd::Unknown(
        Problem(Problem::Code::OutcomeUnknown,
                write.Words(doing) + "; whether the register took it is unknown, and sending it again is safe",
                Problem::Sent::Something));
}

// A report's end from its exchange, when its answer was not lost.
JobEnd ReportEnd(const ExchangeResult& report, const std::string& doing)
{
    JobEnd end = report.Accepted()
                     ? JobEnd::Done(ReportResult{})
                     : JobEnd::Failed(report.ToProblem(doing, Problem::Code::LinkFailure, Problem::Sent::Something));
    end.With(report.Accepted() ? Outcome::Printed : Outcome::NotPrinted);
    return end;
}

// A report that leaves nothing the register can be asked about.
JobEnd ReportUnknown(const std::string& cause, const std::string& report)
{
    JobEnd end = JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                         cause + "; " + report + " leaves nothing the register can be asked about",
                                         Problem::Sent::Something));
    end.With(Outcome::Unknown);
    return end;
}

// The PC's local time, to the minute, as the register keeps it.
ECRDateTime PcNow()
{
    const std::tm local = LocalTime(std::time(nullptr));
    ECRDateTime value;
    value.year = local.tm_year + 1900 - 2000;
    value.month = local.tm_mon + 1;
    value.day = local.tm_mday;
    value.hour = local.tm_hour;
    value.minute = local.tm_min;
    return value;
}

}  // namespace

JobRunner::JobRunner(ECRDevice& device, std::function<void(const JobProgress&)> record,
                     std::function<void()> checkpoint)
    : m_device(device), m_record(std::move(record)), m_checkpoint(std::move(checkpoint))
{
}

JobEnd JobRunner::Run(const JobRequest& request)
{
    return std::visit(Overloaded{[&](const ReceiptRequest& receipt) { return Receipt(receipt); },
                                 [&](const DailyReportRequest&) { return DailyReport(); },
                                 [&](const PeriodicReportRequest& report) { return PeriodicReport(report); },
                                 [&](const ReadClockRequest&) { return ReadClock(); },
                                 [&](const SetClockRequest& clock) { return SetClock(clock); },
                                 [&](const ReadHeaderRequest&) { return ReadHeader(); },
                                 [&](const SetHeaderRequest& header) { return SetHeader(header); },
                                 [&](const ReadArticlesRequest&) { return ReadArticles(); },
                                 [&](const ImportArticlesRequest& import) { return ImportArticles(import); },
                                 [&](const RawRequest& raw) { return Raw(raw); },
                                 [&](const SnapshotReportRequest&) { return SnapshotReport(); },
                                 [&](const ReadTotalizersRequest&) { return ReadTotalizers(); },
                                 [&](const ReadTaxRatesRequest&) { return ReadTaxRates(); },
                                 [&](const CancelReceiptRequest&) { return CancelReceipt(); },
                                 [&](const ShowDisplayRequest& display) { return Display(display.lines); },
                                 [&](const ClearDisplayRequest&) { return Display({}); },
                                 [&](const InfoPrintRequest& print) { return InfoPrint(print); }},
                      request);
}

JobEnd JobRunner::Receipt(const ReceiptRequest& request)
{
    return ReceiptRun(m_device, m_record, m_checkpoint).Run(request, m_totalsBefore);
}

JobEnd JobRunner::DailyReport()
{
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTotalizers(totals); });
    const std::string preparing = "preparing the daily report";
    if (!read.Accepted()) {
        JobEnd end = JobEnd::Failed(read.ToProblem(preparing, Problem::Code::LinkFailure, Problem::Sent::Nothing));
        end.With(Outcome::NotPrinted);
        return end;
    }
    const ReportProgress progress{RegisterTotals::From(totals)};
    bool sending = false;
    // The report at the register's own clock; its totals recorded once the clock is read.
    const ExchangeResult report = ExchangeResult::Of(m_device, [&] {
        ECROperations::PrintDailyReportNow(m_device, [&] {
            m_record(progress);
            sending = true;
        });
    });
    if (!sending) {
        JobEnd end = JobEnd::Failed(report.ToProblem(preparing, Problem::Code::LinkFailure, Problem::Sent::Nothing));
        end.With(Outcome::NotPrinted);
        return end;
    }
    if (report.kind == ExchangeResult::Kind::Lost)
        return Settlement::DailyReport(progress, SettlementProbe::Totals(m_device),
                                       report.Words("printing the daily report"));
    return ReportEnd(report, "printing the daily report");
}

JobEnd JobRunner::PeriodicReport(const PeriodicReportRequest& request)
{
    m_record(ReportProgress{});
    const ExchangeResult report =
        ExchangeResult::Of(m_device, [&] { m_device.PrintPeriodicReport(request.from, request.to, request.fiscal); });
    if (report.kind == ExchangeResult::Kind::Lost)
        return ReportUnknown(report.Words("printing the periodic report"), "a periodic report");
    return ReportEnd(report, "printing the periodic report");
}

JobEnd JobRunner::ReadClock()
{
    ClockResult result;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { result.clock = m_device.ReadClock(); });
    return ReadEnd(read, "reading the clock", result);
}

JobEnd JobRunner::SetClock(const SetClockRequest& request)
{
    if (!request.clock)
        return SyncClock();
    m_record(SendingProgress{});
    const ExchangeResult write = ExchangeResult::Of(m_device, [&] { m_device.SetClock(*request.clock); });
    return WriteEnd(write, "setting the clock", ClockResult{*request.clock, std::nullopt, std::nullopt});
}

JobEnd JobRunner::SyncClock()
{
    ClockResult result;
    ECRDateTime before;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { before = m_device.ReadClock(); });
    if (!read.Accepted())
        return ReadEnd(read, "reading the clock before setting it", result);
    result.before = before;
    result.clock = PcNow();
    m_record(SendingProgress{});
    const ExchangeResult write = ExchangeResult::Of(m_device, [&] { m_device.SetClock(result.clock); });
    if (!write.Accepted())
        return WriteEnd(write, "setting the clock to the PC's", result);
    ECRDateTime after;
    if (ExchangeResult::Of(m_device, [&] { after = m_device.ReadClock(); }).Accepted())
        result.after = after;
    return JobEnd::Done(result);
}

JobEnd JobRunner::ReadHeader()
{
    HeaderResult result;
    const ExchangeResult read =
        ExchangeResult::Of(m_device, [&] { m_device.ReadHeader(result.lines, result.doubleSize); });
    return ReadEnd(read, "reading the header", result);
}

JobEnd JobRunner::SetHeader(const SetHeaderRequest& request)
{
    m_record(SendingProgress{});
    const ExchangeResult write =
        ExchangeResult::Of(m_device, [&] { m_device.WriteHeader(request.lines, request.doubleSize); });
    return WriteEnd(write, "writing the header", HeaderResult{request.lines, request.doubleSize});
}

JobEnd JobRunner::ReadArticles()
{
    ECRArticleCommands::ArticleWalk walk = ECRArticleCommands::ArticleWalk::Complete;
    const ExchangeResult read =
        ExchangeResult::Of(m_device, [&] { walk = m_device.ReadAllArticles([this](std::size_t) { m_checkpoint(); }); });
    if (read.kind == ExchangeResult::Kind::Lost)
        return JobEnd::Failed(
            read.ToProblem("reading the articles", Problem::Code::LinkFailure, Problem::Sent::Nothing));
    using Walk = ECRArticleCommands::ArticleWalk;
    // An empty table is a refused first read; the walk tells it from a refusal.
    if (walk == Walk::Refused)
        return JobEnd::Failed(
            ExchangeResult::Refusal(m_device.LastVerdict().code)
                .ToProblem("reading the articles", Problem::Code::LinkFailure, Problem::Sent::Nothing));
    if (walk != Walk::Complete && walk != Walk::NoArticles)
        return JobEnd::Failed(Problem(Problem::Code::LinkFailure,
                                      "the article list ended early: the register sent an article without a name, "
                                      "one it had sent before, or more than it can hold"));
    ArticlesResult result;
    result.articles.assign(m_device.Articles().begin(), m_device.Articles().end());
    return JobEnd::Done(std::move(result));
}

JobEnd JobRunner::ImportArticles(const ImportArticlesRequest& request)
{
    m_record(SendingProgress{});
    const auto& articles = request.articles;
    ArticleUpload upload(m_device, articles.size(), [&](std::size_t i) { return articles[i]; });
    bool stopped = false;
    const ExchangeResult run = ExchangeResult::Of(m_device, [&] {
        upload.Run({}, [&] {
            try {
                m_checkpoint();
            } catch (const StopRequested&) {
                stopped = true;
            }
            return stopped;
        });
    });
    const ImportResult counts{upload.Sent(), upload.Accepted(), upload.Refused(), upload.Unconfirmed(),
                              articles.size() - upload.Sent()};
    const auto with = [&](JobEnd end) {
        end.result = counts;
        return end;
    };
    if (stopped)
        return with(JobEnd::Failed(Problem(Problem::Code::ServiceStopped,
                                           "the service stopped after " + std::to_string(upload.Sent()) + " of " +
                                               std::to_string(articles.size()) + " articles",
                                           Problem::Sent::Something)));
    if (run.kind == ExchangeResult::Kind::Lost || upload.Unconfirmed() != 0)
        return with(
            JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                    (run.kind == ExchangeResult::Kind::Lost ? run.what : "answers failed their check") +
                                        std::string("; whether the register took the articles without a "
                                                    "confirmed answer is unknown, and importing again is safe"),
                                    Problem::Sent::Something)));
    if (upload.Refused() != 0) {
        const ECRArticle& first = articles[upload.FirstRefusedIndex()];
        return with(JobEnd::Failed(ExchangeResult::Refusal(upload.FirstRefusalCode())
                                       .ToProblem(std::to_string(upload.Refused()) + " article(s), the first article " +
                                                      std::to_string(upload.FirstRefusedIndex() + 1) + " (" +
                                                      ECRCodePage::ToUtf8(first.name) + ")",
                                                  Problem::Code::LinkFailure, Problem::Sent::Something)));
    }
    return JobEnd::Done(counts);
}

JobEnd JobRunner::Raw(const RawRequest& request)
{
    m_record(SendingProgress{});
    RawResult result;
    // As long as any command gets: an answer after a shorter wait would be
    // left on the line for the next request.
    const std::int32_t wait = m_device.Engine().GetPollLimits().replyTimeoutMs;
    const ExchangeResult sent = ExchangeResult::Of(m_device, [&] {
        result.answer = m_device.SendReceive(ECRString(request.payload.c_str()), wait);
    });
    if (sent.kind != ExchangeResult::Kind::Accepted || result.answer.Length() == 0)
        return JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                       (sent.what.empty() ? std::string("no answer from the register") : sent.what) +
                                           "; whether it carried the request out is unknown",
                                       Problem::Sent::Something));
    return JobEnd::Done(result);
}

JobEnd JobRunner::Settle(const JobRecord& job, const std::string& cause)
{
    if (NothingSent(job.progress)) {
        JobEnd end = JobEnd::Failed(Problem(Problem::Code::ServiceStopped, cause + "; nothing had been sent"));
        if (IsFiscal(job.kind))
            end.With(Outcome::NotPrinted);
        return end;
    }
    if (const auto* receipt = std::get_if<ReceiptProgress>(&job.progress))
        return Settlement::Receipt(*receipt, SettlementProbe::Receipt(m_device), cause);
    if (job.kind == JobKind::DailyReport)
        return Settlement::DailyReport(std::get<ReportProgress>(job.progress), SettlementProbe::Totals(m_device),
                                       cause);
    if (job.kind == JobKind::PeriodicReport || job.kind == JobKind::SnapshotReport)
        return ReportUnknown(cause, "the report");
    return JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                   cause + "; whether the register carried the request out is unknown",
                                   Problem::Sent::Something));
}

JobEnd JobRunner::SnapshotReport()
{
    m_record(ReportProgress{});
    const ExchangeResult report = ExchangeResult::Of(m_device, [&] { m_device.PrintStatusReport(); });
    if (report.kind == ExchangeResult::Kind::Lost)
        return ReportUnknown(report.Words("printing the snapshot report"), "a snapshot report");
    return ReportEnd(report, "printing the snapshot report");
}

JobEnd JobRunner::ReadTotalizers()
{
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTotalizers(totals); });
    return ReadEnd(read, "reading the totalizers", TotalizersResult{RegisterTotals::From(totals)});
}

JobEnd JobRunner::ReadTaxRates()
{
    TaxRatesResult result;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTaxRates(result.rates); });
    return ReadEnd(read, "reading the tax rates", result);
}

JobEnd JobRunner::CancelReceipt()
{
    ECRReceipt receipt(m_device);
    const ExchangeResult asked = ExchangeResult::Of(m_device, [&] { receipt.Subtotal(); });
    if (asked.Refused(DeviceCode::NoReceiptOpen))
        return JobEnd::Done(CancelResult{false});
    if (!asked.Accepted())
        return ReadEnd(asked, "asking whether a receipt is open", CancelResult{});
    m_record(SendingProgress{});
    const ExchangeResult cancel = ExchangeResult::Of(m_device, [&] { receipt.Cancel(); });
    return WriteEnd(cancel, "cancelling the open receipt", CancelResult{true});
}

JobEnd JobRunner::Display(const std::array<ECRString, 2>& lines)
{
    m_record(SendingProgress{});
    const ExchangeResult write = ExchangeResult::Of(m_device, [&] { m_device.DisplayText(lines[0], lines[1]); });
    return WriteEnd(write, "showing the text on the customer display", DisplayResult{lines});
}

JobEnd JobRunner::InfoPrint(const InfoPrintRequest& request)
{
    m_record(SendingProgress{});
    std::size_t printed = 0;
    const ExchangeResult print = ExchangeResult::Of(m_device, [&] {
        for (; printed < request.lines.size(); ++printed) {
            m_device.PrintInfoLine(request.lines[printed], static_cast<std::int32_t>(printed + 1));
            if (!m_device.LastVerdict().IsAccepted())
                break;
        }
        if (printed == request.lines.size())
            m_device.EndInfoPrint();
    });
    if (print.Accepted())
        return JobEnd::Done(InfoPrintResult{printed});
    if (print.kind == ExchangeResult::Kind::Lost)
        return JobEnd::Unknown(
            Problem(Problem::Code::OutcomeUnknown,
                    print.Words("printing line " + std::to_string(printed + 1) + " of the info print") +
                        "; what was printed is unknown",
                    Problem::Sent::Something));
    // A refused line: the info print is ended, so that the register takes other work again.
    ExchangeResult::Of(m_device, [&] { m_device.EndInfoPrint(); });
    JobEnd end = JobEnd::Failed(print.ToProblem("printing line " + std::to_string(printed + 1) + " of the info print",
                                                Problem::Code::LinkFailure, Problem::Sent::Something));
    end.result = InfoPrintResult{printed};
    return end;
}
