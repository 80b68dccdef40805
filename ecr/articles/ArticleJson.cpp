#include "ecr/articles/ArticleJson.h"

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/FaultText.h"
#include "ecr/files/JsonFields.h"

#include <algorithm>
#include <set>

JsonValue ArticleJson::Listed(const ECRArticle& article)
{
    JsonValue item = JsonValue::Object();
    item.Set("name", ECRCodePage::ToUtf8(article.name));
    item.Set("price", FormatScaled(article.price, 2).Data());
    item.Set("priceHundredths", article.price);
    item.Set("taxRate", article.taxRate);
    item.Set("unit", article.unit);
    item.Set("value1", article.value1);
    item.Set("value2", article.value2);
    return item;
}

std::vector<ECRArticle> ArticleJson::Read(const JsonValue& value, Prices prices, const std::string& where)
{
    JsonFields::Expect(value, JsonValue::Kind::Array, where);
    if (value.Items().size() > ECRArticleRules::kCapacity)
        JsonFields::Refuse(where, std::to_string(value.Items().size()) + " articles, the register holds at most " +
                                      std::to_string(ECRArticleRules::kCapacity));
    std::vector<ECRArticle> articles;
    std::set<std::string> names;
    for (std::size_t i = 0; i < value.Items().size(); ++i) {
        std::string item = "article " + std::to_string(i + 1);
        const JsonValue& object = JsonFields::Object(value.Items()[i], {"name", "price", "taxRate", "unit"}, item);
        const std::string& name = JsonFields::Member(object, "name", JsonValue::Kind::String, item).AsString();
        item += " (\"" + name + "\")";
        ECRArticle article;
        article.name = JsonFields::RegisterText(name, ECRArticleRules::kNameLength, false, item + ": name");
        article.price =
            prices == Prices::TextOnly
                ? JsonFields::AmountText(JsonFields::Member(object, "price", JsonValue::Kind::String, item).AsString(),
                                         6, 2, item + ": price")
                : JsonFields::Amount(*object.Find("price"), 6, 2, item + ": price");
        const auto index = [&](const char* key) {
            const std::int64_t number = JsonFields::Member(object, key, JsonValue::Kind::Number, item).AsNumber();
            // Out of any range the register takes; the rules name the limit.
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(number, -1, 1000));
        };
        article.taxRate = index("taxRate");
        article.unit = index("unit");
        if (const auto fault = ECRArticleRules::Check(article))
            JsonFields::Refuse(item, FaultText::FieldName(fault->field, FaultText::Language::English) + ": " +
                                         FaultText::Describe(*fault, FaultText::Language::English));
        if (!names.insert(std::string(article.name.Data(), article.name.Length())).second)
            JsonFields::Refuse(item, "the name comes twice");
        articles.push_back(article);
    }
    return articles;
}
