#include "service/JobRunner.h"

#include "ecr/articles/ArticleJson.h"
#include "ecr/articles/ArticleUpload.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDateText.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/protocol/ECRTrafficText.h"
#include "service/ExchangeResult.h"
#include "service/JobJournal.h"
#include "service/ReceiptRun.h"
#include "service/Settlement.h"

namespace {

std::string Utf8(const ECRString& text)
{
    return ECRCodePage::ToUtf8(std::string_view(text.Data(), text.Length()));
}

// A read: accepted gives the result; refused or lost, it failed and nothing changed.
JobEnd ReadEnd(const ExchangeResult& read, const std::string& doing, JsonValue result)
{
    if (read.Accepted())
        return JobEnd::Done(std::move(result));
    return JobEnd::Failed(read.ToProblem(doing, Problem::Code::LinkFailure));
}

// A write that may be sent again: lost, whether it was taken is unknown.
JobEnd WriteEnd(const ExchangeResult& write, const std::string& doing, JsonValue result)
{
    if (write.Accepted())
        return JobEnd::Done(std::move(result));
    if (write.kind == ExchangeResult::Kind::Refused)
        return JobEnd::Failed(write.ToProblem(doing, Problem::Code::LinkFailure));
    return JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown, write.Words(doing) +
                                                                      "; whether the register took it is unknown, "
                                                                      "and sending it again is safe"));
}

JsonValue PrintedLines(const std::array<ECRString, 5>& lines, const std::array<bool, 5>& doubleSize)
{
    JsonValue json = JsonValue::Array();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        JsonValue line = JsonValue::Object();
        line.Set("text", Utf8(lines[i]));
        line.Set("double", doubleSize[i]);
        json.Push(std::move(line));
    }
    JsonValue result = JsonValue::Object();
    result.Set("lines", std::move(json));
    return result;
}

}  // namespace

JobRunner::JobRunner(ECRDevice& device, JobJournal& journal, std::function<void()> checkpoint)
    : m_device(device), m_journal(journal), m_checkpoint(std::move(checkpoint))
{
}

void JobRunner::Sending(const std::string& jobId, JsonValue progress)
{
    progress.Set("step", progress.Find("step") ? progress.Find("step")->AsString() : "sending");
    // A report's totals settle it when its answer is lost: they must outlive
    // a power cut. Any other job sent again is harmless.
    m_journal.SaveProgress(jobId, progress,
                           progress.Find("totalsBefore") != nullptr ? JobJournal::Keep::PastPowerCut
                                                                    : JobJournal::Keep::PastCrash);
}

JobEnd JobRunner::Run(const std::string& jobId, const JobRequest& request)
{
    switch (request.kind) {
    case JobKind::Receipt: return ReceiptRun(m_device, m_journal, jobId, m_checkpoint).Run(request);
    case JobKind::DailyReport: return DailyReport(jobId);
    case JobKind::PeriodicReport: return PeriodicReport(jobId, request);
    case JobKind::ReadClock: {
        ECRDateTime now;
        const ExchangeResult read = ExchangeResult::Of(m_device, [&] { now = m_device.ReadClock(); });
        JsonValue result = JsonValue::Object();
        result.Set("clock", ECRDateText::Format(now));
        return ReadEnd(read, "reading the clock", std::move(result));
    }
    case JobKind::SetClock: {
        Sending(jobId);
        const ExchangeResult write = ExchangeResult::Of(m_device, [&] { m_device.SetClock(request.clock); });
        JsonValue result = JsonValue::Object();
        result.Set("clock", ECRDateText::Format(request.clock));
        return WriteEnd(write, "setting the clock", std::move(result));
    }
    case JobKind::ReadHeader: {
        std::array<ECRString, 5> lines;
        std::array<bool, 5> doubleSize{};
        const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadHeader(lines, doubleSize); });
        return ReadEnd(read, "reading the header", PrintedLines(lines, doubleSize));
    }
    case JobKind::SetHeader: {
        Sending(jobId);
        const ExchangeResult write =
            ExchangeResult::Of(m_device, [&] { m_device.WriteHeader(request.headerLines, request.headerDouble); });
        return WriteEnd(write, "writing the header", PrintedLines(request.headerLines, request.headerDouble));
    }
    case JobKind::ReadArticles: return ReadArticles();
    case JobKind::ImportArticles: return ImportArticles(jobId, request);
    case JobKind::Raw: return Raw(jobId, request);
    }
    return JobEnd::Failed(Problem(Problem::Code::Internal, "unknown job kind"));
}

JobEnd JobRunner::DailyReport(const std::string& jobId)
{
    std::array<ECRString, 13> totals;
    const ExchangeResult read = ExchangeResult::Of(m_device, [&] { m_device.ReadTotalizers(totals); });
    ECRDateTime now;
    const ExchangeResult clock =
        read.Accepted() ? ExchangeResult::Of(m_device, [&] { now = m_device.ReadClock(); }) : read;
    if (!clock.Accepted()) {
        JobEnd end = JobEnd::Failed(clock.ToProblem("preparing the daily report", Problem::Code::LinkFailure));
        end.Outcome("not printed");
        return end;
    }
    JsonValue progress = JsonValue::Object();
    progress.Set("step", "reporting");
    JsonValue& before = progress.Set("totalsBefore", JsonValue::Array());
    for (const ECRString& total : totals)
        before.Push(Utf8(total));
    Sending(jobId, progress);
    const ExchangeResult report = ExchangeResult::Of(m_device, [&] { m_device.PrintDailyReport(now); });
    if (report.kind == ExchangeResult::Kind::Lost)
        return Settlement::DailyReport(m_device, progress, report.Words("printing the daily report"));
    JobEnd end = report.Accepted()
                     ? JobEnd::Done(JsonValue::Object())
                     : JobEnd::Failed(report.ToProblem("printing the daily report", Problem::Code::LinkFailure));
    end.Outcome(report.Accepted() ? "printed" : "not printed");
    return end;
}

JobEnd JobRunner::PeriodicReport(const std::string& jobId, const JobRequest& request)
{
    JsonValue progress = JsonValue::Object();
    progress.Set("step", "reporting");
    Sending(jobId, progress);
    const ExchangeResult report =
        ExchangeResult::Of(m_device, [&] { m_device.PrintPeriodicReport(request.from, request.to, request.fiscal); });
    if (report.kind == ExchangeResult::Kind::Lost) {
        JobEnd end = JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                             report.Words("printing the periodic report") +
                                                 "; a periodic report leaves nothing the register can be asked about"));
        end.Outcome("unknown");
        return end;
    }
    JobEnd end = report.Accepted()
                     ? JobEnd::Done(JsonValue::Object())
                     : JobEnd::Failed(report.ToProblem("printing the periodic report", Problem::Code::LinkFailure));
    end.Outcome(report.Accepted() ? "printed" : "not printed");
    return end;
}

JobEnd JobRunner::ReadArticles()
{
    ECRArticleCommands::ArticleWalk walk = ECRArticleCommands::ArticleWalk::Complete;
    const ExchangeResult read =
        ExchangeResult::Of(m_device, [&] { walk = m_device.ReadAllArticles([this](std::size_t) { m_checkpoint(); }); });
    if (read.kind == ExchangeResult::Kind::Lost)
        return JobEnd::Failed(read.ToProblem("reading the articles", Problem::Code::LinkFailure));
    using Walk = ECRArticleCommands::ArticleWalk;
    // An empty table is a refused first read; the walk tells it from a refusal.
    if (walk == Walk::Refused)
        return JobEnd::Failed(ExchangeResult::Refusal(m_device.LastVerdict().code)
                                  .ToProblem("reading the articles", Problem::Code::LinkFailure));
    if (walk != Walk::Complete && walk != Walk::NoArticles)
        return JobEnd::Failed(Problem(Problem::Code::LinkFailure,
                                      "the article list ended early: the register sent an article without a name, "
                                      "one it had sent before, or more than it can hold"));
    JsonValue result = JsonValue::Object();
    JsonValue& articles = result.Set("articles", JsonValue::Array());
    for (const ECRArticle& article : m_device.Articles())
        articles.Push(ArticleJson::Listed(article));
    result.Set("count", m_device.Articles().size());
    return JobEnd::Done(std::move(result));
}

JobEnd JobRunner::ImportArticles(const std::string& jobId, const JobRequest& request)
{
    Sending(jobId);
    ArticleUpload upload(m_device, request.articles.size(), [&](std::size_t i) { return request.articles[i]; });
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
    JsonValue counts = JsonValue::Object();
    counts.Set("sent", upload.Sent());
    counts.Set("accepted", upload.Accepted());
    counts.Set("refused", upload.Refused());
    counts.Set("unconfirmed", upload.Unconfirmed());
    counts.Set("skipped", request.articles.size() - upload.Sent());
    const auto with = [&](Problem problem) {
        problem.Extra().Set("articles", counts);
        return problem;
    };
    if (stopped)
        return JobEnd::Failed(with(Problem(Problem::Code::ServiceStopped,
                                           "the service stopped after " + std::to_string(upload.Sent()) + " of " +
                                               std::to_string(request.articles.size()) + " articles")));
    if (run.kind == ExchangeResult::Kind::Lost || upload.Unconfirmed() != 0)
        return JobEnd::Unknown(
            with(Problem(Problem::Code::OutcomeUnknown,
                         (run.kind == ExchangeResult::Kind::Lost ? run.what : "answers failed their check") +
                             std::string("; whether the register took the articles without a "
                                         "confirmed answer is unknown, and importing again is safe"))));
    if (upload.Refused() != 0) {
        const ECRArticle& first = request.articles[upload.FirstRefusedIndex()];
        return JobEnd::Failed(
            with(ExchangeResult::Refusal(upload.FirstRefusalCode())
                     .ToProblem(std::to_string(upload.Refused()) + " article(s), the first article " +
                                    std::to_string(upload.FirstRefusedIndex() + 1) + " (" + Utf8(first.name) + ")",
                                Problem::Code::LinkFailure)));
    }
    return JobEnd::Done(counts);
}

JobEnd JobRunner::Raw(const std::string& jobId, const JobRequest& request)
{
    Sending(jobId);
    ECRString answer;
    // As long as any command gets: an answer after a shorter wait would be
    // left on the line for the next request.
    const std::int32_t wait = m_device.Engine().GetPollLimits().replyTimeoutMs;
    const ExchangeResult sent =
        ExchangeResult::Of(m_device, [&] { answer = m_device.SendReceive(ECRString(request.payload.c_str()), wait); });
    if (sent.kind != ExchangeResult::Kind::Accepted || answer.Length() == 0)
        return JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                       (sent.what.empty() ? std::string("no answer from the register") : sent.what) +
                                           "; whether it carried the request out is unknown"));
    JsonValue result = JsonValue::Object();
    result.Set("answer", Utf8(answer));
    result.Set("answerHex", ECRTrafficText::HexLine(std::string_view(answer.Data(), answer.Length())));
    return JobEnd::Done(std::move(result));
}

JobEnd JobRunner::Settle(const JobRecord& job, const std::string& cause)
{
    const std::optional<JobKind> kind = JobKinds::FromName(job.kind);
    const JsonValue* step = job.progress.Find("step");
    if (step == nullptr || !kind) {
        JobEnd end = JobEnd::Failed(Problem(Problem::Code::ServiceStopped, cause + "; nothing had been sent"));
        if (kind && JobKinds::IsFiscal(*kind))
            end.Outcome("not printed");
        return end;
    }
    switch (*kind) {
    case JobKind::Receipt: return Settlement::Receipt(m_device, job.progress, cause);
    case JobKind::DailyReport: return Settlement::DailyReport(m_device, job.progress, cause);
    case JobKind::PeriodicReport: {
        JobEnd end =
            JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                    cause + "; a periodic report leaves nothing the register can be asked about"));
        end.Outcome("unknown");
        return end;
    }
    default:
        return JobEnd::Unknown(Problem(Problem::Code::OutcomeUnknown,
                                       cause + "; whether the register carried the request out is unknown"));
    }
}
