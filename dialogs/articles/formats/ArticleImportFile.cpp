#include "dialogs/articles/formats/ArticleImportFile.h"

#include "dialogs/articles/formats/TextLineReader.h"
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
    TextLineReader reader(path);
    if (!reader.IsOpen()) {
        error = "Problem pri otvaranju fajla: " + path;
        return false;
    }
    articles.clear();
    std::string line;
    while (reader.Next(line))
        articles.push_back(ParseLine(line));
    if (reader.Failed()) {
        error = "Problem pri citanju fajla: " + path;
        return false;
    }
    return true;
}
