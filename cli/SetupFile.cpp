#include "cli/SetupFile.h"

#include "cli/JsonReader.h"
#include "cli/JsonValue.h"
#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/Utf8.h"
#include "ecr/files/FaultText.h"
#include "ecr/files/InputFile.h"

#include <algorithm>
#include <initializer_list>
#include <set>

namespace {

// Ends a reading with a message naming the item.
struct Refusal {
    std::string message;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& problem)
{
    throw Refusal{where + ": " + problem};
}

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

const char* KindName(JsonValue::Kind kind)
{
    switch (kind) {
    case JsonValue::Kind::Null: return "null";
    case JsonValue::Kind::Bool: return "true or false";
    case JsonValue::Kind::Number: return "a number";
    case JsonValue::Kind::String: return "a text";
    case JsonValue::Kind::Array: return "a list";
    case JsonValue::Kind::Object: return "an object";
    }
    return "";
}

const JsonValue& Expect(const JsonValue& value, JsonValue::Kind kind, const std::string& where)
{
    if (value.GetKind() != kind)
        Refuse(where, std::string("expected ") + KindName(kind) + ", found " + KindName(value.GetKind()));
    return value;
}

// An object with exactly these members.
const JsonValue& Object(const JsonValue& value, std::initializer_list<const char*> keys, const std::string& where)
{
    Expect(value, JsonValue::Kind::Object, where);
    for (const auto& member : value.Members()) {
        if (std::find_if(keys.begin(), keys.end(), [&](const char* key) { return member.first == key; }) == keys.end())
            Refuse(where, "unknown item \"" + member.first + "\"");
    }
    for (const char* key : keys) {
        if (value.Find(key) == nullptr)
            Refuse(where, std::string("\"") + key + "\" is missing");
    }
    return value;
}

const JsonValue& Member(const JsonValue& object, const char* key, JsonValue::Kind kind, const std::string& where)
{
    return Expect(*object.Find(key), kind, where + ": " + key);
}

// Text the register can print or store: Windows-1250, no control byte
// (a field terminator among them), no backslash, at most maxLength.
ECRString RegisterText(const std::string& utf8, std::size_t maxLength, bool mayBeEmpty, const std::string& where)
{
    std::string bytes;
    TextFault fault;
    if (!ECRCodePage::FromUtf8(utf8, bytes, fault))
        Refuse(where, FaultText::Describe(fault, FaultText::Language::English));
    const ECRString text(bytes.c_str());
    if (text.Length() != bytes.size())
        Refuse(where, "holds a zero character");
    if (const auto problem = ECRArticleRules::CheckNameBytes(text))
        Refuse(where, FaultText::Describe(*problem, FaultText::Language::English));
    if (bytes.size() > maxLength)
        Refuse(where,
               std::to_string(bytes.size()) + " characters, the register takes at most " + std::to_string(maxLength));
    if (!mayBeEmpty && bytes.empty())
        Refuse(where, "empty");
    return text;
}

// "12", "12.5" or "12.34" as FormatScaled writes amounts with 2 decimals,
// of at most maxWhole digits before the point; in hundredths.
std::int32_t Amount(const std::string& text, std::size_t maxWhole, const std::string& where)
{
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digits = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (whole.empty() || whole.size() > maxWhole || !digits(whole) ||
        (point != std::string::npos && (fraction.empty() || fraction.size() > 2 || !digits(fraction))))
        Refuse(where, "\"" + text + "\" is not an amount of up to " + std::to_string(maxWhole) +
                          " digits and 2 decimals, such as 12.50");
    return ParseScaled(ECRString(text.c_str()), 2);
}

template <std::size_t N>
void ReadLines(const JsonValue& value, std::array<ECRString, N>& lines, std::array<bool, N>& doubleSize,
               const std::string& where)
{
    Expect(value, JsonValue::Kind::Array, where);
    if (value.Items().size() != N)
        Refuse(where, "expected " + std::to_string(N) + " lines, found " + std::to_string(value.Items().size()));
    for (std::size_t i = 0; i < N; ++i) {
        const std::string line = where + " line " + std::to_string(i + 1);
        const JsonValue& item = Object(value.Items()[i], {"text", "double"}, line);
        lines[i] = RegisterText(Member(item, "text", JsonValue::Kind::String, line).AsString(), SetupFile::kLineLength,
                                true, line);
        doubleSize[i] = Member(item, "double", JsonValue::Kind::Bool, line).AsBool();
    }
}

void ReadArticles(const JsonValue& value, std::vector<ECRArticle>& articles)
{
    Expect(value, JsonValue::Kind::Array, "articles");
    if (value.Items().size() > ECRArticleRules::kCapacity)
        Refuse("articles", std::to_string(value.Items().size()) + " articles, the register holds at most " +
                               std::to_string(ECRArticleRules::kCapacity));
    std::set<std::string> names;
    for (std::size_t i = 0; i < value.Items().size(); ++i) {
        std::string where = "article " + std::to_string(i + 1);
        const JsonValue& item = Object(value.Items()[i], {"name", "price", "taxRate", "unit"}, where);
        const std::string& name = Member(item, "name", JsonValue::Kind::String, where).AsString();
        where += " (\"" + name + "\")";
        ECRArticle article;
        article.name = RegisterText(name, ECRArticleRules::kNameLength, false, where + ": name");
        article.price = Amount(Member(item, "price", JsonValue::Kind::String, where).AsString(), 6, where + ": price");
        const auto index = [&](const char* key) {
            const std::int64_t number = Member(item, key, JsonValue::Kind::Number, where).AsNumber();
            // Out of any range the register takes; the rules name the limit.
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(number, -1, 1000));
        };
        article.taxRate = index("taxRate");
        article.unit = index("unit");
        if (const auto fault = ECRArticleRules::Check(article))
            Refuse(where, FaultText::FieldName(fault->field, FaultText::Language::English) + ": " +
                              FaultText::Describe(*fault, FaultText::Language::English));
        if (!names.insert(std::string(article.name.Data(), article.name.Length())).second)
            Refuse(where, "the name comes twice");
        articles.push_back(article);
    }
}

void ReadSetup(const JsonValue& document, RegisterSetup& setup)
{
    Expect(document, JsonValue::Kind::Object, "the document");
    const JsonValue* format = document.Find("format");
    if (format == nullptr || format->GetKind() != JsonValue::Kind::String || format->AsString() != SetupFile::kFormat)
        throw Refusal{std::string("not an ecrctl backup (no \"format\": \"") + SetupFile::kFormat + "\")"};
    const JsonValue* version = document.Find("version");
    if (version == nullptr || version->GetKind() != JsonValue::Kind::Number)
        throw Refusal{"the backup has no format version"};
    if (version->AsNumber() != SetupFile::kVersion)
        throw Refusal{"format version " + std::to_string(version->AsNumber()) + "; this ecrctl reads version " +
                      std::to_string(SetupFile::kVersion)};
    Object(document, {"format", "version", "header", "taxRates", "advert", "logo", "articles"}, "the document");

    ReadLines(*document.Find("header"), setup.headerLines, setup.headerDouble, "header");

    const JsonValue& rates =
        Object(*document.Find("taxRates"), {"A", "G", "D", "Dj", "E", "Z", "I", "J", "K"}, "taxRates");
    for (std::size_t i = 0; i < setup.taxRates.size(); ++i) {
        const std::string where = std::string("tax rate ") + ECRCommandTable::RateName(static_cast<int>(i));
        setup.taxRates[i] =
            Amount(Member(rates, ECRCommandTable::RateName(static_cast<int>(i)), JsonValue::Kind::String, "taxRates").AsString(), 2,
                   where);
    }

    const JsonValue& advert = Object(*document.Find("advert"), {"lines", "enabled"}, "advert");
    ReadLines(*advert.Find("lines"), setup.advertLines, setup.advertDouble, "advert");
    setup.advertEnabled = Member(advert, "enabled", JsonValue::Kind::Bool, "advert").AsBool();

    const JsonValue& logo = Object(*document.Find("logo"), {"enabled"}, "logo");
    setup.logoEnabled = Member(logo, "enabled", JsonValue::Kind::Bool, "logo").AsBool();

    ReadArticles(*document.Find("articles"), setup.articles);
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
