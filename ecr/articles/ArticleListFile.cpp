#include "ecr/articles/ArticleListFile.h"

#include "ecr/files/SafeFileWrite.h"

std::string ArticleListFile::FormatLine(const ECRArticle& article)
{
    std::string line(article.name.Data(), article.name.Length());
    for (const std::int32_t number : {article.price, article.value1, article.taxRate, article.unit}) {
        line += ',';
        line += std::to_string(number);
    }
    line += "\r\n";
    return line;
}

std::string ArticleListFile::Format(const std::list<ECRArticle>& articles)
{
    std::string text;
    for (const ECRArticle& article : articles)
        text += FormatLine(article);
    return text;
}

bool ArticleListFile::Write(const std::string& path, const std::list<ECRArticle>& articles, FileFault& fault)
{
    return SafeFileWrite::Write(path, Format(articles), fault);
}
