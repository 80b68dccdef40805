#include "ecr/articles/ArticleDatabase.h"

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/InputFile.h"
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

bool ArticleDatabase::Read(const std::string& path, std::vector<DatabaseArticle>& articles, FileFault& fault)
{
    // A database that cannot be read leaves no stale articles behind.
    articles.clear();
    std::string bytes;
    if (!InputFile::ReadAll(path, kLimits.maxFileBytes, bytes, fault))
        return false;
    return Parse(bytes, path, articles, fault);
}

bool ArticleDatabase::Parse(std::string_view bytes, const std::string& name, std::vector<DatabaseArticle>& articles,
                            FileFault& fault)
{
    articles.clear();
    std::vector<TextLineReader::Line> lines;
    if (!TextLineReader::Split(bytes, name, kLimits, lines, fault))
        return false;
    return TextLineReader::Build(
        lines, name, ParseLine,
        [](const DatabaseArticle& article) { return ECRArticleRules::CheckNameBytes(article.name); }, articles,
        fault);
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
