#include "ecr/articles/TestArticles.h"

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

std::vector<ECRArticle> TestArticles::Generate(std::int32_t from, std::int32_t to)
{
    std::vector<ECRArticle> articles;
    for (std::int64_t i = from; i <= to; ++i)
        articles.push_back(Make(static_cast<std::int32_t>(i)));
    return articles;
}
