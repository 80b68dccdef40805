#include "cli/SetupFile.h"

#include "ecr/articles/ArticleJson.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"
#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"
#include "ecr/files/JsonFields.h"
#include "ecr/files/JsonReader.h"
#include "ecr/files/JsonValue.h"

#include <algorithm>
#include <initializer_list>
#include <set>

namespace {

using Refusal = JsonFields::Refusal;

JsonValue Lines(const ECRString* lines, const bool* doubleSize, std::size_t count)
{
    JsonValue array = JsonValue::Array();
    for (std::size_t i = 0; i < count; ++i) {
        JsonValue line = JsonValue::Object();
        line.Set("text", SetupFile::ToUtf8(lines[i]));
        line.Set("double", doubleSize[i]);
        array.Push(std::move(line));
    }
    return array;
}

template <std::size_t N>
void ReadLines(const JsonValue& value, std::array<ECRString, N>& lines, std::array<bool, N>& doubleSize,
               const std::string& where)
{
    JsonFields::PrintedLines(value, lines.data(), doubleSize.data(), N, SetupFile::kLineLength, where);
}

void ReadSetup(const JsonValue& document, RegisterSetup& setup)
{
    JsonFields::Expect(document, JsonValue::Kind::Object, "the document");
    const JsonValue* format = document.Find("format");
    if (format == nullptr || format->GetKind() != JsonValue::Kind::String || format->AsString() != SetupFile::kFormat)
        throw Refusal{std::string("not an ecrctl backup (no \"format\": \"") + SetupFile::kFormat + "\")"};
    const JsonValue* version = document.Find("version");
    if (version == nullptr || version->GetKind() != JsonValue::Kind::Number)
        throw Refusal{"the backup has no format version"};
    if (version->AsNumber() != SetupFile::kVersion)
        throw Refusal{"format version " + std::to_string(version->AsNumber()) + "; this ecrctl reads version " +
                      std::to_string(SetupFile::kVersion)};
    JsonFields::Object(document, {"format", "version", "header", "taxRates", "advert", "logo", "articles"},
                       "the document");

    ReadLines(*document.Find("header"), setup.headerLines, setup.headerDouble, "header");

    const JsonValue& rates =
        JsonFields::Object(*document.Find("taxRates"), {"A", "G", "D", "Dj", "E", "Z", "I", "J", "K"}, "taxRates");
    for (std::size_t i = 0; i < setup.taxRates.size(); ++i) {
        const std::string where = std::string("tax rate ") + ECRCommandTable::RateName(static_cast<int>(i));
        setup.taxRates[i] =
            JsonFields::AmountText(JsonFields::Member(rates, ECRCommandTable::RateName(static_cast<int>(i)),
                                                      JsonValue::Kind::String, "taxRates")
                                       .AsString(),
                                   2, 2, where);
    }

    const JsonValue& advert = JsonFields::Object(*document.Find("advert"), {"lines", "enabled"}, "advert");
    ReadLines(*advert.Find("lines"), setup.advertLines, setup.advertDouble, "advert");
    setup.advertEnabled = JsonFields::Member(advert, "enabled", JsonValue::Kind::Bool, "advert").AsBool();

    const JsonValue& logo = JsonFields::Object(*document.Find("logo"), {"enabled"}, "logo");
    setup.logoEnabled = JsonFields::Member(logo, "enabled", JsonValue::Kind::Bool, "logo").AsBool();

    setup.articles = ArticleJson::Read(*document.Find("articles"), ArticleJson::Prices::TextOnly, "articles");
}

}  // namespace

std::string SetupFile::ToUtf8(const ECRString& bytes)
{
    std::string out;
    for (std::uint32_t i = 0; i < bytes.Length(); ++i) {
        const unsigned char byte = bytes.CharAt(i);
        Utf8::Append(out, ECRCodePage::ToCodePoint(byte).value_or(static_cast<char32_t>(byte)));
    }
    return out;
}

std::string SetupFile::Write(const RegisterSetup& setup)
{
    JsonValue document = JsonValue::Object();
    document.Set("format", kFormat);
    document.Set("version", kVersion);
    document.Set("header", Lines(setup.headerLines.data(), setup.headerDouble.data(), setup.headerLines.size()));
    JsonValue& rates = document.Set("taxRates", JsonValue::Object());
    for (std::size_t i = 0; i < setup.taxRates.size(); ++i)
        rates.Set(ECRCommandTable::RateName(static_cast<int>(i)), FormatScaled(setup.taxRates[i], 2).Data());
    JsonValue& advert = document.Set("advert", JsonValue::Object());
    advert.Set("lines", Lines(setup.advertLines.data(), setup.advertDouble.data(), setup.advertLines.size()));
    advert.Set("enabled", setup.advertEnabled);
    document.Set("logo", JsonValue::Object()).Set("enabled", setup.logoEnabled);
    JsonValue& articles = document.Set("articles", JsonValue::Array());
    for (const ECRArticle& article : setup.articles) {
        JsonValue item = JsonValue::Object();
        item.Set("name", ToUtf8(article.name));
        item.Set("price", FormatScaled(article.price, 2).Data());
        item.Set("taxRate", article.taxRate);
        item.Set("unit", article.unit);
        articles.Push(std::move(item));
    }
    return document.Dump(true) + "\n";
}

bool SetupFile::Parse(std::string_view document, RegisterSetup& setup, std::string& error)
{
    JsonValue value;
    std::string syntax;
    if (!JsonReader::Parse(document, value, syntax)) {
        error = "not a JSON document: " + syntax;
        return false;
    }
    RegisterSetup read;
    try {
        ReadSetup(value, read);
    } catch (const Refusal& refusal) {
        error = refusal.message;
        return false;
    }
    setup = std::move(read);
    return true;
}

bool SetupFile::Read(const std::string& path, RegisterSetup& setup, std::string& error)
{
    std::string document;
    FileFault fault;
    if (!InputFile::ReadAll(path, kMaxBytes, document, fault)) {
        error = FaultText::Describe(fault, FaultText::Language::English);
        return false;
    }
    if (!Parse(document, setup, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
