#include "ecr/commands/ECRArticleRules.h"

namespace {

using Fault = ECRArticleRules::Fault;

Fault Refused(Fault::Field field, Fault::Rule rule)
{
    Fault fault;
    fault.field = field;
    fault.rule = rule;
    return fault;
}

Fault OutOfRange(Fault::Field field, std::int64_t low, std::int64_t high, int decimals = 0)
{
    Fault fault = Refused(field, Fault::Rule::OutOfRange);
    fault.low = low;
    fault.limit = high;
    fault.decimals = decimals;
    return fault;
}

}  // namespace

std::optional<Fault> ECRArticleRules::CheckNameBytes(const ECRString& name)
{
    const std::string_view bytes(name.Data(), name.Length());
    Fault fault = Refused(Fault::Field::Name, Fault::Rule::ControlByte);
    if (TextFault::FindControlByte(bytes, fault.text))
        return fault;
    const std::size_t backslash = bytes.find('\\');
    if (backslash != std::string_view::npos) {
        fault.rule = Fault::Rule::Backslash;
        fault.count = static_cast<std::int64_t>(backslash + 1);
        return fault;
    }
    return std::nullopt;
}

std::optional<Fault> ECRArticleRules::Check(const ECRArticle& article)
{
    if (article.name.Length() == 0)
        return Refused(Fault::Field::Name, Fault::Rule::Empty);
    if (article.name.Length() > kNameLength) {
        Fault fault = Refused(Fault::Field::Name, Fault::Rule::TooLong);
        fault.count = static_cast<std::int64_t>(article.name.Length());
        fault.limit = static_cast<std::int64_t>(kNameLength);
        return fault;
    }
    if (auto fault = CheckNameBytes(article.name))
        return fault;
    if (article.price <= 0 || article.price > kMaxPrice)
        return OutOfRange(Fault::Field::Price, 1, kMaxPrice, 2);
    if (article.taxRate < 0 || article.taxRate > kMaxTaxRate)
        return OutOfRange(Fault::Field::TaxRate, 0, kMaxTaxRate);
    if (article.unit < 0 || article.unit > kMaxUnit)
        return OutOfRange(Fault::Field::Unit, 0, kMaxUnit);
    return std::nullopt;
}
