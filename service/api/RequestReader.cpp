#include "service/api/RequestReader.h"

#include "ecr/articles/ArticleImportFile.h"
#include "ecr/articles/ArticleJson.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDateText.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/commands/TextFault.h"
#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"
#include "ecr/files/JsonFields.h"

#include <algorithm>
#include <cerrno>

namespace {

using Kind = JsonValue::Kind;

// A register number or cashier: a text, or a whole number written as one.
ECRString IdText(const JsonValue& body, const char* key)
{
    const JsonValue* value = body.Find(key);
    if (value == nullptr)
        return ECRString("");
    if (value->GetKind() == Kind::Number && value->AsNumber() >= 0)
        return JsonFields::RegisterText(std::to_string(value->AsNumber()), RequestReader::kIdLength, true, key);
    JsonFields::Expect(*value, Kind::String, key);
    return JsonFields::RegisterText(value->AsString(), RequestReader::kIdLength, true, key);
}

ECRDateTime Date(const JsonValue& body, const char* key, bool withTime)
{
    const std::string& text = JsonFields::Member(body, key, Kind::String, "the request").AsString();
    ECRDateTime value;
    std::string error;
    if (!(withTime ? ECRDateText::ParseDateTime(text, value, error) : ECRDateText::ParseDate(text, value, error)))
        JsonFields::Refuse(key, error);
    if (!value.IsValid())
        JsonFields::Refuse(key, "the register's clock holds the years 2000 to 2099, not " + text);
    return value;
}

}  // namespace

JobRequest RequestReader::Read(JobKind kind, const JsonValue& body, const std::string& importFolder)
{
    const std::string where = "the request";
    switch (kind) {
    case JobKind::Receipt: return ReadReceipt(body);
    case JobKind::DailyReport: JsonFields::Object(body, {}, where); return DailyReportRequest{};
    case JobKind::ReadClock: JsonFields::Object(body, {}, where); return ReadClockRequest{};
    case JobKind::ReadHeader: JsonFields::Object(body, {}, where); return ReadHeaderRequest{};
    case JobKind::ReadArticles: JsonFields::Object(body, {}, where); return ReadArticlesRequest{};
    case JobKind::PeriodicReport: {
        JsonFields::Object(body, {"from", "to"}, where, {"fiscal"});
        PeriodicReportRequest request;
        request.from = Date(body, "from", false);
        request.to = Date(body, "to", false);
        if (const JsonValue* fiscal = JsonFields::Optional(body, "fiscal", Kind::Bool, where))
            request.fiscal = fiscal->AsBool();
        return request;
    }
    case JobKind::SetClock: return ReadClock(body);
    case JobKind::ShowDisplay: return ReadDisplay(body);
    case JobKind::InfoPrint: return ReadInfoPrint(body);
    case JobKind::SnapshotReport: JsonFields::Object(body, {}, where); return SnapshotReportRequest{};
    case JobKind::ReadTotalizers: JsonFields::Object(body, {}, where); return ReadTotalizersRequest{};
    case JobKind::ReadTaxRates: JsonFields::Object(body, {}, where); return ReadTaxRatesRequest{};
    case JobKind::CancelReceipt: JsonFields::Object(body, {}, where); return CancelReceiptRequest{};
    case JobKind::ClearDisplay: JsonFields::Object(body, {}, where); return ClearDisplayRequest{};
    case JobKind::SetHeader: {
        JsonFields::Object(body, {"lines"}, where);
        SetHeaderRequest request;
        JsonFields::PrintedLines(*body.Find("lines"), request.lines.data(), request.doubleSize.data(),
                                 request.lines.size(), kLineLength, "lines");
        if (request.lines[0].Length() == 0)
            JsonFields::Refuse("lines line 1", "empty: the register needs the first header line");
        return request;
    }
    case JobKind::ImportArticles: return ReadImport(body, importFolder);
    case JobKind::Raw: {
        JsonFields::Object(body, {"payload"}, where);
        RawRequest request;
        const std::string& text = JsonFields::Member(body, "payload", Kind::String, where).AsString();
        TextFault fault;
        if (!ECRCodePage::FromUtf8(text, request.payload, fault))
            JsonFields::Refuse("payload", FaultText::Describe(fault, FaultText::Language::English));
        if (request.payload.size() < 2)
            JsonFields::Refuse("payload", "a command code needs two characters");
        if (request.payload.find('\0') != std::string::npos)
            JsonFields::Refuse("payload", "holds a zero character, which no request can carry");
        if (request.payload.size() > kMaxRawBytes)
            JsonFields::Refuse("payload", "longer than " + std::to_string(kMaxRawBytes) + " bytes");
        return request;
    }
    }
    JsonFields::Refuse(where, "this kind of job takes no request");
}

ReceiptRequest RequestReader::ReadReceipt(const JsonValue& body)
{
    ReceiptRequest request;
    JsonFields::Object(body, {"lines"}, "the request", {"payments", "registerNumber", "cashier"});
    const JsonValue& lines = JsonFields::Member(body, "lines", Kind::Array, "the request");
    if (lines.Items().empty())
        JsonFields::Refuse("lines", "a receipt needs at least one line");
    if (lines.Items().size() > kMaxLines)
        JsonFields::Refuse("lines", std::to_string(lines.Items().size()) + " lines, the register takes at most " +
                                        std::to_string(kMaxLines));
    std::int64_t total = 0;
    for (std::size_t i = 0; i < lines.Items().size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1);
        const JsonValue& item =
            JsonFields::Object(lines.Items()[i], {"name", "price", "quantity", "taxRate"}, where, {"unit"});
        ECRArticle article;
        article.name = JsonFields::RegisterText(JsonFields::Member(item, "name", Kind::String, where).AsString(),
                                                ECRArticleRules::kNameLength, false, where + ": name");
        article.price = JsonFields::Amount(*item.Find("price"), 6, 2, where + ": price");
        const auto index = [&](const char* key, std::int64_t fallback) {
            const JsonValue* value = JsonFields::Optional(item, key, Kind::Number, where);
            // Out of any range the register takes; the rules name the limit.
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(value ? value->AsNumber() : fallback, -1, 1000));
        };
        article.taxRate = index("taxRate", 0);
        article.unit = index("unit", 0);
        if (const auto fault = ECRArticleRules::Check(article))
            JsonFields::Refuse(where, FaultText::FieldName(fault->field, FaultText::Language::English) + ": " +
                                          FaultText::Describe(*fault, FaultText::Language::English));
        ECRSaleLine line;
        line.name = article.name;
        line.price = article.price;
        line.taxRate = article.taxRate;
        line.unit = article.unit;
        line.quantity = JsonFields::Amount(*item.Find("quantity"), 5, 3, where + ": quantity");
        if (line.quantity == 0)
            JsonFields::Refuse(where + ": quantity", "must be above 0");
        total += line.Amount();
        request.lines.push_back(line);
    }
    // A receipt of 0.00 leaves the register's totals as they were, so a lost
    // answer could never be settled: it is not printed at all.
    if (total == 0)
        JsonFields::Refuse("lines", "the receipt's total is 0.00; a receipt must come to at least 0.01");
    if (const JsonValue* payments = JsonFields::Optional(body, "payments", Kind::Object, "the request")) {
        JsonFields::Object(*payments, {}, "payments", {"cash", "cheque", "card"});
        std::array<std::int32_t, 3> amounts{};
        const char* const keys[3] = {"cash", "cheque", "card"};
        std::int64_t paid = 0;
        for (std::size_t i = 0; i < amounts.size(); ++i) {
            if (const JsonValue* amount = payments->Find(keys[i]))
                amounts[i] = JsonFields::Amount(*amount, 8, 2, std::string("payments: ") + keys[i]);
            paid += amounts[i];
        }
        if (paid < total)
            JsonFields::Refuse("payments", std::string(FormatScaled(static_cast<std::int32_t>(paid), 2).Data()) +
                                               " paid, below the receipt's " +
                                               FormatScaled(static_cast<std::int32_t>(total), 2).Data());
        request.payments = ECRPayments{amounts[0], amounts[1], amounts[2]};
    }
    request.registerNumber = IdText(body, "registerNumber");
    request.cashier = IdText(body, "cashier");
    return request;
}

ImportArticlesRequest RequestReader::ReadImport(const JsonValue& body, const std::string& importFolder)
{
    ImportArticlesRequest request;
    JsonFields::Object(body, {}, "the request", {"articles", "file"});
    const JsonValue* articles = body.Find("articles");
    const JsonValue* file = JsonFields::Optional(body, "file", Kind::String, "the request");
    if ((articles == nullptr) == (file == nullptr))
        JsonFields::Refuse("the request", "give either \"articles\" or \"file\"");
    if (articles != nullptr) {
        request.articles = ArticleJson::Read(*articles, ArticleJson::Prices::TextOrNumber, "articles");
        return request;
    }
    const std::string& name = file->AsString();
    if (importFolder.empty())
        JsonFields::Refuse("file", "this service takes no import files (no \"importFolder\" is configured)");
    // A plain name inside the folder: no way up or out of it, no hidden file,
    // and no link that could lead elsewhere.
    if (name.empty() || name.front() == '.' || name.find_first_of("/\\") != std::string::npos ||
        name.find('\0') != std::string::npos || name.size() > 255)
        JsonFields::Refuse("file", "\"" + name + "\" is not a plain file name in the import folder");
    // Opened through the folder without following a link: a link swapped in
    // after a look at the name would lead nowhere else.
    std::string bytes;
    FileFault fault;
    if (!InputFile::ReadAllIn(importFolder, name, ArticleImportFile::kLimits.maxFileBytes, bytes, fault)) {
        if (fault.kind == FileFault::Kind::CannotOpen && fault.systemError == ELOOP)
            JsonFields::Refuse("file", "\"" + name + "\" is a link; only files in the import folder are read");
        JsonFields::Refuse("file", FaultText::Describe(fault, FaultText::Language::English));
    }
    if (!ArticleImportFile::Parse(bytes, name, request.articles, fault))
        JsonFields::Refuse("file", FaultText::Describe(fault, FaultText::Language::English));
    return request;
}

SetClockRequest RequestReader::ReadClock(const JsonValue& body)
{
    JsonFields::Object(body, {"clock"}, "the request");
    const JsonValue& clock = JsonFields::Member(body, "clock", Kind::String, "the request");
    if (clock.AsString() == "now")
        return SetClockRequest{};
    return SetClockRequest{Date(body, "clock", true)};
}

ShowDisplayRequest RequestReader::ReadDisplay(const JsonValue& body)
{
    JsonFields::Object(body, {"lines"}, "the request");
    const JsonValue& lines = JsonFields::Member(body, "lines", Kind::Array, "the request");
    if (lines.Items().empty() || lines.Items().size() > 2)
        JsonFields::Refuse("lines", "the display shows one or two lines, not " + std::to_string(lines.Items().size()));
    ShowDisplayRequest request;
    for (std::size_t i = 0; i < lines.Items().size(); ++i) {
        const std::string where = "lines line " + std::to_string(i + 1);
        request.lines[i] =
            JsonFields::RegisterText(JsonFields::Expect(lines.Items()[i], Kind::String, where).AsString(),
                                     kDisplayWidth, true, where);
    }
    if (request.lines[0].Length() == 0 && request.lines[1].Length() == 0)
        JsonFields::Refuse("lines", "both empty: DELETE clears the display");
    return request;
}

InfoPrintRequest RequestReader::ReadInfoPrint(const JsonValue& body)
{
    JsonFields::Object(body, {"lines"}, "the request");
    const JsonValue& lines = JsonFields::Member(body, "lines", Kind::Array, "the request");
    if (lines.Items().empty() || lines.Items().size() > kMaxInfoLines)
        JsonFields::Refuse("lines", "an info print has 1 to " + std::to_string(kMaxInfoLines) + " lines, not " +
                                        std::to_string(lines.Items().size()));
    InfoPrintRequest request;
    for (std::size_t i = 0; i < lines.Items().size(); ++i) {
        const std::string where = "lines line " + std::to_string(i + 1);
        request.lines.push_back(
            JsonFields::RegisterText(JsonFields::Expect(lines.Items()[i], Kind::String, where).AsString(), kLineLength,
                                     true, where));
    }
    return request;
}
