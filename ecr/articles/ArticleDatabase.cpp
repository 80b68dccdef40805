#include "ecr/articles/ArticleDatabase.h"

#include "ecr/articles/TextLineReader.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/protocol/ECRAtoi.h"

DatabaseArticle ArticleDatabase::ParseLine(const std::string& line)
{
    ECRString rest(line.c_str());
    DatabaseArticle article;
    article.name = rest.Tokenize('\t');
    article.barcode = rest.Tokenize('\t');
    article.price = ParseScaled(rest.Tokenize('\t'), 2);
    article.taxRate = ECRAtoi(rest.Tokenize('\t'));
    return article;
}

bool ArticleDatabase::Read(const std::string& path, std::vector<DatabaseArticle>& articles, std::string& error)
{
    // A database that cannot be opened leaves no stale articles behind.
    articles.clear();
    return TextLineReader::ReadAll(path, articles, ParseLine, error);
}

const DatabaseArticle* ArticleDatabase::FindBarcode(const std::vector<DatabaseArticle>& articles,
                                                    const ECRString& barcode)
{
    for (const DatabaseArticle& article : articles) {
        if (article.barcode == barcode)
            return &article;
    }
    return nullptr;
}
