#include "service/jobs/JobJson.h"

#include "ecr/articles/ArticleJson.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDateText.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/RegisterFigures.h"
#include "ecr/protocol/ECRTrafficText.h"
#include "service/jobs/Overloaded.h"

#include <charconv>
#include <cstdlib>

namespace {

using Kind = JsonValue::Kind;

// The steps of jobs other than receipts: a report being printed, anything
// else begun.
constexpr std::string_view kReporting = "reporting";
constexpr std::string_view kSending = "sending";

[[noreturn]] void Refuse(const std::string& what)
{
    throw JobJson::Malformed(what);
}

const JsonValue& Member(const JsonValue& object, const char* key, Kind kind, const std::string& where)
{
    const JsonValue* value = object.Find(key);
    if (value == nullptr || value->GetKind() != kind)
        Refuse(where + ": \"" + key + "\" is missing or not of its kind");
    return *value;
}

// A name from a table, or the refusal naming the member and the name.
template <typename Table>
auto Named(const Table& table, const JsonValue& object, const char* key, const std::string& where)
{
    const std::string& name = Member(object, key, Kind::String, where).AsString();
    const auto value = table.Find(name);
    if (!value)
        Refuse(where + ": \"" + key + "\" is \"" + name + "\", which this version does not know");
    return *value;
}

JsonValue TotalsJson(const RegisterTotals& totals)
{
    JsonValue json = JsonValue::Array();
    for (const std::string& figure : totals.figures)
        json.Push(figure);
    return json;
}

RegisterTotals ReadTotals(const JsonValue& json, const std::string& where)
{
    if (json.GetKind() != Kind::Array || json.Items().size() != 13)
        Refuse(where + ": not the thirteen totalizers");
    RegisterTotals totals;
    for (std::size_t i = 0; i < 13; ++i) {
        if (json.Items()[i].GetKind() != Kind::String)
            Refuse(where + ": totalizer " + std::to_string(i + 1) + " is not a text");
        totals.figures[i] = json.Items()[i].AsString();
    }
    return totals;
}

// "70.50" back to hundredths.
std::int64_t ReadAmount(const JsonValue& json, const std::string& where)
{
    const std::string& text = json.AsString();
    const std::size_t point = text.find('.');
    std::string digits = text;
    if (point != std::string::npos && point + 3 == text.size())
        digits = text.substr(0, point) + text.substr(point + 1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (json.GetKind() != Kind::String || point == std::string::npos || digits.empty() || error != std::errc() ||
        end != digits.data() + digits.size())
        Refuse(where + ": \"" + text + "\" is not an amount");
    return value;
}

JsonValue PrintedLines(const std::array<ECRString, 5>& lines, const std::array<bool, 5>& doubleSize)
{
    JsonValue json = JsonValue::Array();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        JsonValue line = JsonValue::Object();
        line.Set("text", ECRCodePage::ToUtf8(lines[i]));
        line.Set("double", doubleSize[i]);
        json.Push(std::move(line));
    }
    JsonValue result = JsonValue::Object();
    result.Set("lines", std::move(json));
    return result;
}

std::string FormatAmount(std::int64_t hundredths)
{
    return FormatScaled(hundredths, 2).Data();
}

std::array<ECRString, 13> Figures(const RegisterTotals& totals)
{
    std::array<ECRString, 13> figures;
    for (std::size_t i = 0; i < figures.size(); ++i)
        figures[i] = ECRString(totals.figures[i].c_str());
    return figures;
}

}  // namespace

JsonValue JobJson::Progress(const JobProgress& progress)
{
    JsonValue json = JsonValue::Object();
    std::visit(Overloaded{[&](const std::monostate&) {},
                          [&](const SendingProgress&) { json.Set("step", std::string(kSending)); },
                          [&](const ReportProgress& report) {
                              json.Set("step", std::string(kReporting));
                              if (report.totalsBefore)
                                  json.Set("totalsBefore", TotalsJson(*report.totalsBefore));
                          },
                          [&](const ReceiptProgress& receipt) {
                              json.Set("step", std::string(kReceiptStepNames.Name(receipt.step)));
                              json.Set("totalsBefore", TotalsJson(receipt.totalsBefore));
                              json.Set("linesSent", receipt.linesSent);
                              json.Set("subtotal", receipt.subtotal);
                              JsonValue& payments = json.Set("payments", JsonValue::Array());
                              payments.Push(receipt.payments.cash);
                              payments.Push(receipt.payments.cheque);
                              payments.Push(receipt.payments.card);
                          }},
               progress);
    return json;
}

JobProgress JobJson::ReadProgress(JobKind kind, const JsonValue& json)
{
    const std::string where = "progress";
    if (json.GetKind() != Kind::Object)
        Refuse(where + ": not an object");
    if (json.Find("step") == nullptr)
        return std::monostate{};
    const std::string& step = Member(json, "step", Kind::String, where).AsString();
    if (kind == JobKind::Receipt) {
        ReceiptProgress receipt;
        receipt.step = Named(kReceiptStepNames, json, "step", where);
        receipt.totalsBefore = ReadTotals(Member(json, "totalsBefore", Kind::Array, where), where + ": totalsBefore");
        if (const JsonValue* lines = json.Find("linesSent"))
            receipt.linesSent = static_cast<std::size_t>(lines->AsNumber());
        if (const JsonValue* subtotal = json.Find("subtotal"))
            receipt.subtotal = subtotal->AsNumber();
        if (const JsonValue* payments = json.Find("payments")) {
            const auto& items = payments->Items();
            if (payments->GetKind() != Kind::Array || items.size() != 3)
                Refuse(where + ": payments are not cash, cheque and card");
            receipt.payments = {static_cast<std::int32_t>(items[0].AsNumber()),
                                static_cast<std::int32_t>(items[1].AsNumber()),
                                static_cast<std::int32_t>(items[2].AsNumber())};
        }
        return receipt;
    }
    if (IsFiscal(kind)) {
        if (step != kReporting)
            Refuse(where + ": a report's step is \"" + step + "\", which this version does not know");
        ReportProgress report;
        if (const JsonValue* totals = json.Find("totalsBefore"))
            report.totalsBefore = ReadTotals(*totals, where + ": totalsBefore");
        return report;
    }
    if (step != kSending)
        Refuse(where + ": the step is \"" + step + "\", which this version does not know");
    return SendingProgress{};
}

JsonValue JobJson::Result(const JobResult& result)
{
    JsonValue json = JsonValue::Object();
    std::visit(Overloaded{[&](const std::monostate&) { json = JsonValue(); },
                          [&](const ReceiptResult& receipt) {
                              json.Set("total", FormatAmount(receipt.total));
                              JsonValue& paid = json.Set("paid", JsonValue::Object());
                              paid.Set("cash", FormatAmount(receipt.paid.cash));
                              paid.Set("cheque", FormatAmount(receipt.paid.cheque));
                              paid.Set("card", FormatAmount(receipt.paid.card));
                              json.Set("change", FormatAmount(receipt.paid.Sum() - receipt.total));
                          },
                          [&](const ReportResult&) {},
                          [&](const ClockResult& clock) {
                              json.Set("clock", ECRDateText::Format(clock.clock));
                              if (clock.before)
                                  json.Set("before", ECRDateText::Format(*clock.before));
                              if (clock.after)
                                  json.Set("after", ECRDateText::Format(*clock.after));
                          },
                          [&](const HeaderResult& header) { json = PrintedLines(header.lines, header.doubleSize); },
                          [&](const ArticlesResult& list) {
                              JsonValue& articles = json.Set("articles", JsonValue::Array());
                              for (const ECRArticle& article : list.articles)
                                  articles.Push(ArticleJson::Listed(article));
                              json.Set("count", list.articles.size());
                          },
                          [&](const ImportResult& counts) {
                              json.Set("sent", counts.sent);
                              json.Set("accepted", counts.accepted);
                              json.Set("refused", counts.refused);
                              json.Set("unconfirmed", counts.unconfirmed);
                              json.Set("skipped", counts.skipped);
                          },
                          [&](const RawResult& raw) {
                              json.Set("answer", ECRCodePage::ToUtf8(raw.answer));
                              json.Set("answerHex", ECRTrafficText::HexLine(
                                                        std::string_view(raw.answer.Data(), raw.answer.Length())));
                          },
                          [&](const TotalizersResult& totals) {
                              json.Set("totalizers", RegisterFigures::Totalizers(Figures(totals.totals)));
                          },
                          [&](const TaxRatesResult& rates) {
                              json.Set("taxRates", RegisterFigures::TaxRates(rates.rates));
                          },
                          [&](const CancelResult& cancel) { json.Set("wasOpen", cancel.wasOpen); },
                          [&](const DisplayResult& display) {
                              JsonValue& lines = json.Set("lines", JsonValue::Array());
                              for (const ECRString& line : display.lines)
                                  lines.Push(ECRCodePage::ToUtf8(line));
                          },
                          [&](const InfoPrintResult& print) { json.Set("lines", print.lines); },
                          [&](const StoredResult& stored) { json = stored.json; }},
               result);
    return json;
}

JsonValue JobJson::Earlier(const std::vector<EarlierAttempt>& attempts)
{
    JsonValue json = JsonValue::Array();
    for (const EarlierAttempt& attempt : attempts) {
        JsonValue item = JsonValue::Object();
        item.Set("finishedMs", attempt.finishedMs);
        item.Set("problem", ProblemDocument(attempt.problem));
        json.Push(std::move(item));
    }
    return json;
}

std::vector<EarlierAttempt> JobJson::ReadEarlier(const JsonValue& json)
{
    if (json.GetKind() != Kind::Array)
        Refuse("earlier attempts: not a list");
    std::vector<EarlierAttempt> attempts;
    for (const JsonValue& item : json.Items())
        attempts.push_back({Member(item, "finishedMs", Kind::Number, "earlier attempt").AsNumber(),
                            ReadProblem(Member(item, "problem", Kind::Object, "earlier attempt"))});
    return attempts;
}

JsonValue JobJson::ProblemDocument(const Problem& problem)
{
    JsonValue json = JsonValue::Object();
    json.Set("type", "urn:thermal:ecrd:problem:" + std::string(Problem::Name(problem.GetCode())));
    json.Set("title", std::string(Problem::Title(problem.GetCode())));
    json.Set("status", Problem::Status(problem.GetCode()));
    json.Set("detail", problem.Detail());
    json.Set("code", std::string(Problem::Name(problem.GetCode())));
    json.Set("retryable", problem.Retryable());
    json.Set("sent", std::string(kSentNames.Name(problem.WhatWasSent())));
    if (problem.RegisterCode()) {
        json.Set("registerCode", *problem.RegisterCode());
        json.Set("registerMessage", problem.RegisterMessage());
    }
    if (!problem.Errors().empty()) {
        JsonValue& errors = json.Set("errors", JsonValue::Array());
        for (const Problem::Fault& fault : problem.Errors()) {
            JsonValue item = JsonValue::Object();
            item.Set("pointer", fault.pointer);
            item.Set("detail", fault.detail);
            errors.Push(std::move(item));
        }
    }
    return json;
}

Problem JobJson::ReadProblem(const JsonValue& json)
{
    const std::string where = "problem";
    const std::string& name = Member(json, "code", Kind::String, where).AsString();
    const std::optional<Problem::Code> code = Problem::Find(name);
    if (!code)
        Refuse(where + ": the code \"" + name + "\" is not one this version knows");
    // Written before problems said what was sent: assume something was.
    const Problem::Sent sent = json.Find("sent") ? Named(kSentNames, json, "sent", where) : Problem::Sent::Something;
    Problem problem(*code, Member(json, "detail", Kind::String, where).AsString(), sent);
    if (const JsonValue* registerCode = json.Find("registerCode")) {
        const JsonValue* message = json.Find("registerMessage");
        problem.SetRefusal(static_cast<std::int32_t>(registerCode->AsNumber()),
                           message != nullptr ? message->AsString() : std::string());
    }
    return problem;
}

JsonValue JobJson::End(const JobEnd& end)
{
    JsonValue json = JsonValue::Object();
    if (end.outcome)
        json.Set("outcome", std::string(kOutcomeNames.Name(*end.outcome)));
    if (end.receipt)
        json.Set("receipt", std::string(kReceiptFateNames.Name(*end.receipt)));
    if (!std::holds_alternative<std::monostate>(end.result))
        json.Set("result", Result(end.result));
    if (end.problem)
        json.Set("problem", ProblemDocument(*end.problem));
    if (end.seen) {
        JsonValue& seen = json.Set("seen", JsonValue::Object());
        if (end.seen->subtotal)
            seen.Set("subtotal", FormatAmount(*end.seen->subtotal));
        if (end.seen->totalsBefore)
            seen.Set("totalsBefore", TotalsJson(*end.seen->totalsBefore));
        seen.Set("totalsAfter", TotalsJson(end.seen->totalsAfter));
    }
    if (!end.settled.empty())
        json.Set("settled", end.settled);
    if (end.cancelledOpenReceipt)
        json.Set("cancelledOpenReceipt", true);
    return json;
}

JobEnd JobJson::ReadEnd(JobState state, const JsonValue& json)
{
    const std::string where = "end";
    if (json.GetKind() != Kind::Object)
        Refuse(where + ": not an object");
    JobEnd end;
    end.state = state;
    if (json.Find("outcome"))
        end.outcome = Named(kOutcomeNames, json, "outcome", where);
    if (json.Find("receipt"))
        end.receipt = Named(kReceiptFateNames, json, "receipt", where);
    if (const JsonValue* result = json.Find("result"))
        end.result = StoredResult{*result};
    if (const JsonValue* problem = json.Find("problem"))
        end.problem = ReadProblem(*problem);
    if (const JsonValue* seen = json.Find("seen")) {
        SettlementSeen read;
        if (const JsonValue* subtotal = seen->Find("subtotal"))
            read.subtotal = ReadAmount(*subtotal, "seen: subtotal");
        // An empty list: a report settled without the totals from before it.
        if (const JsonValue* before = seen->Find("totalsBefore"); before && !before->Items().empty())
            read.totalsBefore = ReadTotals(*before, "seen: totalsBefore");
        read.totalsAfter = ReadTotals(Member(*seen, "totalsAfter", Kind::Array, "seen"), "seen: totalsAfter");
        end.seen = std::move(read);
    }
    if (const JsonValue* settled = json.Find("settled"))
        end.settled = settled->AsString();
    if (const JsonValue* cancelled = json.Find("cancelledOpenReceipt"))
        end.cancelledOpenReceipt = cancelled->AsBool();
    return end;
}
