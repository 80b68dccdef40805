#include "cli/SetupDiff.h"

#include "cli/SetupFile.h"
#include "ecr/commands/ECRCommandTable.h"
#include "ecr/commands/ScaledAmount.h"

#include <map>
#include <string_view>

namespace {

std::string Quoted(const ECRString& text)
{
    return "\"" + SetupFile::ToUtf8(text) + "\"";
}

std::string OnOff(bool on)
{
    return on ? "on" : "off";
}

std::string ArticleValues(const ECRArticle& article)
{
    return std::string(FormatScaled(article.price, 2).Data()) + " tax " + std::to_string(article.taxRate) + " unit " +
           std::to_string(article.unit);
}

template <std::size_t N>
void CompareLines(SetupDiff::Area area, const char* name, const std::array<ECRString, N>& registerLines,
                  const std::array<bool, N>& registerDouble, const std::array<ECRString, N>& fileLines,
                  const std::array<bool, N>& fileDouble, std::vector<SetupDiff::Difference>& out)
{
    for (std::size_t i = 0; i < N; ++i) {
        const std::string line = std::string(name) + " line " + std::to_string(i + 1);
        if (registerLines[i] != fileLines[i])
            out.push_back({area, line, Quoted(registerLines[i]), Quoted(fileLines[i]), {}});
        if (registerDouble[i] != fileDouble[i])
            out.push_back({area, line + " double size", OnOff(registerDouble[i]), OnOff(fileDouble[i]), {}});
    }
}

std::string_view Key(const ECRArticle& article)
{
    return std::string_view(article.name.Data(), article.name.Length());
}

}  // namespace

std::string SetupDiff::Difference::Describe() const
{
    if (!onRegister)
        return item + ": not on the register (file " + *inFile + ")";
    if (!inFile)
        return item + ": on the register only (" + *onRegister + ")";
    return item + ": register " + *onRegister + ", file " + *inFile;
}

std::vector<SetupDiff::Difference> SetupDiff::Compare(const RegisterSetup& onRegister, const RegisterSetup& inFile)
{
    std::vector<Difference> out;
    CompareLines(Area::Header, "header", onRegister.headerLines, onRegister.headerDouble, inFile.headerLines,
                 inFile.headerDouble, out);
    CompareLines(Area::Advert, "advert", onRegister.advertLines, onRegister.advertDouble, inFile.advertLines,
                 inFile.advertDouble, out);
    if (onRegister.advertEnabled != inFile.advertEnabled)
        out.push_back(
            {Area::AdvertSwitch, "advert printing", OnOff(onRegister.advertEnabled), OnOff(inFile.advertEnabled), {}});
    if (onRegister.logoEnabled != inFile.logoEnabled)
        out.push_back(
            {Area::LogoSwitch, "logo printing", OnOff(onRegister.logoEnabled), OnOff(inFile.logoEnabled), {}});
    for (std::size_t i = 0; i < onRegister.taxRates.size(); ++i) {
        if (onRegister.taxRates[i] != inFile.taxRates[i])
            out.push_back({Area::TaxRates,
                           std::string("tax rate ") + ECRCommandTable::RateName(static_cast<int>(i)),
                           FormatScaled(onRegister.taxRates[i], 2).Data(),
                           FormatScaled(inFile.taxRates[i], 2).Data(),
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
        Difference difference;
        difference.area = Area::Article;
        difference.item = "article " + Quoted((inFileArticle != nullptr ? inFileArticle : onRegisterArticle)->name);
        if (onRegisterArticle != nullptr)
            difference.onRegister = ArticleValues(*onRegisterArticle);
        if (inFileArticle != nullptr)
            difference.inFile = ArticleValues(*inFileArticle);
        if (difference.onRegister == difference.inFile)
            continue;
        difference.article = inFileArticle != nullptr ? *inFileArticle : *onRegisterArticle;
        out.push_back(std::move(difference));
    }
    return out;
}
