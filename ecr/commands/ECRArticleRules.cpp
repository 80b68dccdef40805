#include "ecr/commands/ECRArticleRules.h"

#include "ecr/commands/TextFault.h"

namespace {

std::string Outside(std::int64_t low, std::int64_t high)
{
    return "outside " + std::to_string(low) + ".." + std::to_string(high);
}

}  // namespace

std::optional<std::string> ECRArticleRules::CheckNameBytes(const ECRString& name)
{
    const std::string_view bytes(name.Data(), name.Length());
    TextFault fault;
    if (TextFault::FindControlByte(bytes, fault))
        return "holds " + fault.Describe();
    const std::size_t backslash = bytes.find('\\');
    if (backslash != std::string_view::npos)
        return "holds a backslash at character " + std::to_string(backslash + 1) + ", which the register refuses";
    return std::nullopt;
}

std::optional<ECRArticleRules::Fault> ECRArticleRules::Check(const ECRArticle& article)
{
    if (article.name.Length() == 0)
        return Fault{"name", "empty"};
    if (article.name.Length() > kNameLength)
        return Fault{"name", std::to_string(article.name.Length()) + " characters, the register takes at most " +
                                 std::to_string(kNameLength)};
    if (auto problem = CheckNameBytes(article.name))
        return Fault{"name", *problem};
    if (article.price <= 0 || article.price > kMaxPrice)
        return Fault{"price", "outside 0.01..999999.99"};
    if (article.taxRate < 0 || article.taxRate > kMaxTaxRate)
        return Fault{"tax rate", Outside(0, kMaxTaxRate)};
    if (article.unit < 0 || article.unit > kMaxUnit)
        return Fault{"unit", Outside(0, kMaxUnit)};
    return std::nullopt;
}
