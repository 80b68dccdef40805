#include "cli/SetupDiff.h"

#include "cli/SetupFile.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ScaledAmount.h"

#include <map>
#include <string_view>

namespace {

std::string Amount(std::int32_t hundredths)
{
    return FormatScaled(hundredths, 2).Data();
}

JsonValue ArticleValues(const ECRArticle& article)
{
    JsonValue values = JsonValue::Object();
    values.Set("price", Amount(article.price));
    values.Set("taxRate", article.taxRate);
    values.Set("unit", article.unit);
    return values;
}

bool SameValues(const ECRArticle& a, const ECRArticle& b)
{
    return a.price == b.price && a.taxRate == b.taxRate && a.unit == b.unit;
}

// A value as the text output shows it: a line quoted, a flag on or off, an
// article by its price, tax rate and unit.
std::string Shown(SetupDiff::Area area, const JsonValue& value)
{
    switch (value.GetKind()) {
    case JsonValue::Kind::Bool: return value.AsBool() ? "on" : "off";
    case JsonValue::Kind::String:
        return area == SetupDiff::Area::TaxRates ? value.AsString() : "\"" + value.AsString() + "\"";
    case JsonValue::Kind::Object:
        return value.Find("price")->AsString() + " tax " + std::to_string(value.Find("taxRate")->AsNumber()) +
               " unit " + std::to_string(value.Find("unit")->AsNumber());
    default: return "";
    }
}

template <std::size_t N>
void CompareLines(SetupDiff::Area area, const char* name, const std::array<ECRString, N>& registerLines,
                  const std::array<bool, N>& registerDouble, const std::array<ECRString, N>& fileLines,
                  const std::array<bool, N>& fileDouble, std::vector<SetupDiff::Difference>& out)
{
    for (std::size_t i = 0; i < N; ++i) {
        const std::string line = std::string(name) + " line " + std::to_string(i + 1);
        if (registerLines[i] != fileLines[i])
            out.push_back({area, line, SetupFile::ToUtf8(registerLines[i]), SetupFile::ToUtf8(fileLines[i]), {}});
        if (registerDouble[i] != fileDouble[i])
            out.push_back({area, line + " double size", registerDouble[i], fileDouble[i], {}});
    }
}

std::string_view Key(const ECRArticle& article)
{
    return std::string_view(article.name.Data(), article.name.Length());
}

}  // namespace

std::string SetupDiff::Difference::Describe() const
{
    if (!OnRegister())
        return item + ": not on the register (file " + Shown(area, inFile) + ")";
    if (!InFile())
        return item + ": on the register only (" + Shown(area, onRegister) + ")";
    return item + ": register " + Shown(area, onRegister) + ", file " + Shown(area, inFile);
}

std::vector<SetupDiff::Difference> SetupDiff::Compare(const RegisterSetup& onRegister, const RegisterSetup& inFile)
{
    std::vector<Difference> out;
    CompareLines(Area::Header, "header", onRegister.headerLines, onRegister.headerDouble, inFile.headerLines,
                 inFile.headerDouble, out);
    CompareLines(Area::Advert, "advert", onRegister.advertLines, onRegister.advertDouble, inFile.advertLines,
                 inFile.advertDouble, out);
    if (onRegister.advertEnabled != inFile.advertEnabled)
        out.push_back({Area::AdvertSwitch, "advert printing", onRegister.advertEnabled, inFile.advertEnabled, {}});
    if (onRegister.logoEnabled != inFile.logoEnabled)
        out.push_back({Area::LogoSwitch, "logo printing", onRegister.logoEnabled, inFile.logoEnabled, {}});
    for (std::size_t i = 0; i < onRegister.taxRates.size(); ++i) {
        if (onRegister.taxRates[i] != inFile.taxRates[i])
            out.push_back({Area::TaxRates,
                           std::string("tax rate ") + ECRCommandTable::RateName(static_cast<int>(i)),
                           Amount(onRegister.taxRates[i]),
                           Amount(inFile.taxRates[i]),
                           {}});
    }

    // Both sides by name; the union in name order.
    std::map<std::string_view, const ECRArticle*> registerArticles;
    std::map<std::string_view, const ECRArticle*> fileArticles;
    for (const ECRArticle& article : onRegister.articles)
        registerArticles.emplace(Key(article), &article);
    for (const ECRArticle& article : inFile.articles)
        fileArticles.emplace(Key(article), &article);
    std::map<std::string_view, std::pair<const ECRArticle*, const ECRArticle*>> both;
    for (const auto& [name, article] : registerArticles)
        both[name].first = article;
    for (const auto& [name, article] : fileArticles)
        both[name].second = article;
    for (const auto& [name, pair] : both) {
        const auto& [onRegisterArticle, inFileArticle] = pair;
        if (onRegisterArticle != nullptr && inFileArticle != nullptr && SameValues(*onRegisterArticle, *inFileArticle))
            continue;
        Difference difference;
        difference.area = Area::Article;
        difference.item = "article \"" +
                          SetupFile::ToUtf8((inFileArticle != nullptr ? inFileArticle : onRegisterArticle)->name) +
                          "\"";
        if (onRegisterArticle != nullptr)
            difference.onRegister = ArticleValues(*onRegisterArticle);
        if (inFileArticle != nullptr)
            difference.inFile = ArticleValues(*inFileArticle);
        difference.article = inFileArticle != nullptr ? *inFileArticle : *onRegisterArticle;
        out.push_back(std::move(difference));
    }
    return out;
}
