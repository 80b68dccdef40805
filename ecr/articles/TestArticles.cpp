#include "ecr/articles/TestArticles.h"

#include "ecr/commands/ECRArticleRules.h"

#include <string>

ECRArticle TestArticles::Make(std::int32_t i)
{
    ECRArticle article;
    article.name = ECRString(("Artikal" + std::to_string(i)).c_str());
    article.price = i * 100;
    article.taxRate = 3;
    article.unit = 2;
    return article;
}

bool TestArticles::IsValidRange(std::int64_t from, std::int64_t to)
{
    return from >= 1 && from <= to && to <= kLargest &&
           static_cast<std::uint64_t>(to - from + 1) <= ECRArticleRules::kCapacity;
}
