#include "ecr/articles/ArticleImportFile.h"

#include "ecr/articles/TextLineReader.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/protocol/ECRAtoi.h"

ECRArticle ArticleImportFile::ParseLine(const std::string& line)
{
    ECRString rest(line.c_str());
    ECRArticle article;
    article.name = rest.Tokenize(',');
    article.price = ParseScaled(rest.Tokenize(','), 2);
    article.taxRate = ECRAtoi(rest.Tokenize(','));
    article.unit = ECRAtoi(rest.Tokenize(','));
    return article;
}

bool ArticleImportFile::Read(const std::string& path, std::vector<ECRArticle>& articles, std::string& error)
{
    return TextLineReader::ReadAll(path, articles, ParseLine, error);
}
