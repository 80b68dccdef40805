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
#include "service/api/RequestFaults.h"

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

// The member of a receipt line that holds an article's field.
const char* MemberOf(ECRArticleRules::Fault::Field field)
{
    switch (field) {
    case ECRArticleRules::Fault::Field::Name: return "name";
    case ECRArticleRules::Fault::Field::Price: return "price";
    case ECRArticleRules::Fault::Field::TaxRate: return "taxRate";
    case ECRArticleRules::Fault::Field::Unit: return "unit";
    }
    return "";
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
    JsonFields::Expect(body, Kind::Object, "the request");
    const std::string where = "the request";
    RequestFaults faults;
    // A request of a kind that takes no items: {} or none.
    const auto empty = [&](auto request) -> JobRequest {
        faults.At("", [&] { JsonFields::Object(body, {}, where); });
        faults.ThrowIfAny();
        return request;
    };
    switch (kind) {
    case JobKind::Receipt: return ReadReceipt(body);
    case JobKind::DailyReport: return empty(DailyReportRequest{});
    case JobKind::ReadClock: return empty(ReadClockRequest{});
    case JobKind::ReadHeader: return empty(ReadHeaderRequest{});
    case JobKind::ReadArticles: return empty(ReadArticlesRequest{});
    case JobKind::SnapshotReport: return empty(SnapshotReportRequest{});
    case JobKind::ReadTotalizers: return empty(ReadTotalizersRequest{});
    case JobKind::ReadTaxRates: return empty(ReadTaxRatesRequest{});
    case JobKind::CancelReceipt: return empty(CancelReceiptRequest{});
    case JobKind::ClearDisplay: return empty(ClearDisplayRequest{});
    case JobKind::PeriodicReport: {
        faults.At("", [&] { JsonFields::Object(body, {"from", "to"}, where, {"fiscal"}); });
        PeriodicReportRequest request;
        if (body.Find("from"))
            faults.At("/from", [&] { request.from = Date(body, "from", false); });
        if (body.Find("to"))
            faults.At("/to", [&] { request.to = Date(body, "to", false); });
        faults.At("/fiscal", [&] {
            if (const JsonValue* fiscal = JsonFields::Optional(body, "fiscal", Kind::Bool, where))
                request.fiscal = fiscal->AsBool();
        });
        faults.ThrowIfAny();
        return request;
    }
    case JobKind::SetClock: return ReadClock(body);
    case JobKind::ShowDisplay: return ReadDisplay(body);
    case JobKind::InfoPrint: return ReadInfoPrint(body);
    case JobKind::SetHeader: {
        faults.At("", [&] { JsonFields::Object(body, {"lines"}, where); });
        SetHeaderRequest request;
        if (body.Find("lines"))
            faults.At("/lines", [&] {
                JsonFields::PrintedLines(*body.Find("lines"), request.lines.data(), request.doubleSize.data(),
                                         request.lines.size(), kLineLength, "lines");
                if (request.lines[0].Length() == 0)
                    JsonFields::Refuse("lines line 1", "empty: the register needs the first header line");
            });
        faults.ThrowIfAny();
        return request;
    }
    case JobKind::ImportArticles: return ReadImport(body, importFolder);
    case JobKind::Raw: {
        faults.At("", [&] { JsonFields::Object(body, {"payload"}, where); });
        RawRequest request;
        if (body.Find("payload"))
            faults.At("/payload", [&] {
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
            });
        faults.ThrowIfAny();
        return request;
    }
    }
    JsonFields::Refuse(where, "this kind of job takes no request");
}

ReceiptRequest RequestReader::ReadReceipt(const JsonValue& body)
{
    JsonFields::Expect(body, Kind::Object, "the request");
    ReceiptRequest request;
    RequestFaults faults;
    faults.At("", [&] {
        JsonFields::Object(body, {"lines"}, "the request", {"payments", "registerNumber", "cashier"});
    });
    const JsonValue* lines = body.Find("lines");
    const bool listed = lines != nullptr && faults.At("/lines", [&] {
        JsonFields::Expect(*lines, Kind::Array, "lines");
        if (lines->Items().empty())
            JsonFields::Refuse("lines", "a receipt needs at least one line");
        if (lines->Items().size() > kMaxLines)
            JsonFields::Refuse("lines", std::to_string(lines->Items().size()) + " lines, the register takes at most " +
                                            std::to_string(kMaxLines));
    });
    std::int64_t total = 0;
    for (std::size_t i = 0; listed && i < lines->Items().size(); ++i) {
        const std::string where = "line " + std::to_string(i + 1);
        const std::string at = "/lines/" + std::to_string(i);
        const JsonValue& item = lines->Items()[i];
        if (!faults.At(at, [&] { JsonFields::Expect(item, Kind::Object, where); }))
            continue;
        faults.At(at, [&] { JsonFields::Object(item, {"name", "price", "quantity", "taxRate"}, where, {"unit"}); });
        ECRSaleLine line;
        const auto name = faults.At(at + "/name", [&] {
            return JsonFields::RegisterText(JsonFields::Member(item, "name", Kind::String, where).AsString(),
                                            ECRArticleRules::kNameLength, false, where + ": name");
        });
        const auto price = faults.At(at + "/price", [&] {
            const JsonValue* value = item.Find("price");
            if (value == nullptr)
                JsonFields::Refuse(where, "no \"price\"");
            return JsonFields::Amount(*value, 6, 2, where + ": price");
        });
        const auto index = [&](const char* key, std::int64_t fallback) {
            const JsonValue* value = JsonFields::Optional(item, key, Kind::Number, where);
            // Out of any range the register takes; the rules name the limit.
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(value ? value->AsNumber() : fallback, -1, 1000));
        };
        const auto taxRate = faults.At(at + "/taxRate", [&] { return index("taxRate", 0); });
        const auto unit = faults.At(at + "/unit", [&] { return index("unit", 0); });
        if (name && price && taxRate && unit) {
            ECRArticle article;
            article.name = *name;
            article.price = *price;
            article.taxRate = *taxRate;
            article.unit = *unit;
            if (const auto fault = ECRArticleRules::Check(article))
                faults.Add(at + "/" + MemberOf(fault->field),
                           where + ": " + FaultText::FieldName(fault->field, FaultText::Language::English) + ": " +
                               FaultText::Describe(*fault, FaultText::Language::English));
            line.name = article.name;
            line.price = article.price;
            line.taxRate = article.taxRate;
            line.unit = article.unit;
        }
        const auto quantity = faults.At(at + "/quantity", [&] {
            const JsonValue* value = item.Find("quantity");
            if (value == nullptr)
                JsonFields::Refuse(where, "no \"quantity\"");
            const std::int32_t read = JsonFields::Amount(*value, 5, 3, where + ": quantity");
            if (read == 0)
                JsonFields::Refuse(where + ": quantity", "must be above 0");
            return read;
        });
        line.quantity = quantity.value_or(0);
        total += line.Amount();
        request.lines.push_back(line);
    }
    // A receipt of 0.00 leaves the register's totals as they were, so a lost
    // answer could never be settled: it is not printed at all.
    if (listed && faults.Empty() && total == 0)
        faults.Add("/lines", "lines: the receipt's total is 0.00; a receipt must come to at least 0.01");
    if (body.Find("payments") != nullptr) {
        faults.At("/payments", [&] {
            const JsonValue& payments = JsonFields::Member(body, "payments", Kind::Object, "the request");
            JsonFields::Object(payments, {}, "payments", {"cash", "cheque", "card"});
        });
        const JsonValue& payments = *body.Find("payments");
        std::array<std::int32_t, 3> amounts{};
        const char* const keys[3] = {"cash", "cheque", "card"};
        std::int64_t paid = 0;
        bool read = true;
        for (std::size_t i = 0; i < amounts.size(); ++i) {
            const JsonValue* amount = payments.Find(keys[i]);
            if (amount == nullptr)
                continue;
            const auto value = faults.At(std::string("/payments/") + keys[i], [&] {
                return JsonFields::Amount(*amount, 8, 2, std::string("payments: ") + keys[i]);
            });
            read = read && value.has_value();
            amounts[i] = value.value_or(0);
            paid += amounts[i];
        }
        if (read && faults.Empty() && paid < total)
            faults.Add("/payments", "payments: " + std::string(FormatScaled(paid, 2).Data()) +
                                        " paid, below the receipt's " + FormatScaled(total, 2).Data());
        request.payments = ECRPayments{amounts[0], amounts[1], amounts[2]};
    }
    if (const auto number = faults.At("/registerNumber", [&] { return IdText(body, "registerNumber"); }))
        request.registerNumber = *number;
    if (const auto cashier = faults.At("/cashier", [&] { return IdText(body, "cashier"); }))
        request.cashier = *cashier;
    faults.ThrowIfAny();
    return request;
}

ImportArticlesRequest RequestReader::ReadImport(const JsonValue& body, const std::string& importFolder)
{
    ImportArticlesRequest request;
    RequestFaults faults;
    faults.At("", [&] {
        JsonFields::Object(body, {}, "the request", {"articles", "file"});
        if ((body.Find("articles") == nullptr) == (body.Find("file") == nullptr))
            JsonFields::Refuse("the request", "give either \"articles\" or \"file\"");
    });
    faults.ThrowIfAny();
    if (const JsonValue* articles = body.Find("articles")) {
        faults.At("/articles", [&] {
            request.articles = ArticleJson::Read(*articles, ArticleJson::Prices::TextOrNumber, "articles");
        });
        faults.ThrowIfAny();
        return request;
    }
    faults.At("/file", [&] { ReadImportFile(body, importFolder, request); });
    faults.ThrowIfAny();
    return request;
}

void RequestReader::ReadImportFile(const JsonValue& body, const std::string& importFolder,
                                   ImportArticlesRequest& request)
{
    const std::string& name = JsonFields::Member(body, "file", Kind::String, "the request").AsString();
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
}

SetClockRequest RequestReader::ReadClock(const JsonValue& body)
{
    RequestFaults faults;
    faults.At("", [&] { JsonFields::Object(body, {"clock"}, "the request"); });
    SetClockRequest request;
    if (body.Find("clock"))
        faults.At("/clock", [&] {
            if (JsonFields::Member(body, "clock", Kind::String, "the request").AsString() != "now")
                request.clock = Date(body, "clock", true);
        });
    faults.ThrowIfAny();
    return request;
}

// The lines of a display or an info print: texts the register can show,
// each at most width characters, count of them within the bounds.
std::vector<ECRString> RequestReader::ReadTextLines(const JsonValue& body, std::size_t least, std::size_t most,
                                                    std::size_t width, const std::string& what)
{
    RequestFaults faults;
    faults.At("", [&] { JsonFields::Object(body, {"lines"}, "the request"); });
    std::vector<ECRString> read;
    const JsonValue* lines = body.Find("lines");
    if (lines != nullptr && faults.At("/lines", [&] {
            JsonFields::Expect(*lines, Kind::Array, "lines");
            if (lines->Items().size() < least || lines->Items().size() > most)
                JsonFields::Refuse("lines", what + " has " + std::to_string(least) + " to " + std::to_string(most) +
                                                " lines, not " + std::to_string(lines->Items().size()));
        })) {
        for (std::size_t i = 0; i < lines->Items().size(); ++i) {
            const std::string where = "lines line " + std::to_string(i + 1);
            const auto text = faults.At("/lines/" + std::to_string(i), [&] {
                return JsonFields::RegisterText(JsonFields::Expect(lines->Items()[i], Kind::String, where).AsString(),
                                                width, true, where);
            });
            read.push_back(text.value_or(ECRString("")));
        }
    }
    faults.ThrowIfAny();
    return read;
}

ShowDisplayRequest RequestReader::ReadDisplay(const JsonValue& body)
{
    const std::vector<ECRString> lines = ReadTextLines(body, 1, 2, kDisplayWidth, "the display");
    ShowDisplayRequest request;
    for (std::size_t i = 0; i < lines.size(); ++i)
        request.lines[i] = lines[i];
    if (request.lines[0].Length() == 0 && request.lines[1].Length() == 0) {
        RequestFaults faults;
        faults.Add("/lines", "lines: both empty: DELETE clears the display");
        faults.ThrowIfAny();
    }
    return request;
}

InfoPrintRequest RequestReader::ReadInfoPrint(const JsonValue& body)
{
    return InfoPrintRequest{ReadTextLines(body, 1, kMaxInfoLines, kLineLength, "an info print")};
}
