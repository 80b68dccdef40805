#include "ecr/articles/ArticleImportFile.h"

#include "ecr/commands/ECRArticleRules.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/files/InputFile.h"
#include "ecr/protocol/ECRAtoi.h"

#include <algorithm>

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

bool ArticleImportFile::Read(const std::string& path, std::vector<ECRArticle>& articles, FileFault& fault)
{
    std::string bytes;
    if (!InputFile::ReadAll(path, kLimits.maxFileBytes, bytes, fault))
        return false;
    return Parse(bytes, path, articles, fault);
}

bool ArticleImportFile::Parse(std::string_view bytes, const std::string& name, std::vector<ECRArticle>& articles,
                              FileFault& fault)
{
    articles.clear();
    std::vector<TextLineReader::Line> lines;
    if (!TextLineReader::Split(bytes, name, kLimits, lines, fault))
        return false;
    if (lines.size() > ECRArticleRules::kCapacity) {
        fault = FileFault::OfFile(FileFault::Kind::TooManyArticles, name);
        fault.count = lines.size();
        fault.limit = ECRArticleRules::kCapacity;
        return false;
    }
    if (TextLineReader::Build(lines, name, ParseLine, ECRArticleRules::Check, articles, fault))
        return true;
    // A line without a comma reads as one long name with no price, and is
    // refused for that; the user is told the layout instead.
    const auto refused = std::find_if(lines.begin(), lines.end(),
                                      [&fault](const TextLineReader::Line& line) { return line.number == fault.line; });
    if (refused != lines.end() && refused->text.find(',') == std::string::npos) {
        fault = FileFault::OfFile(FileFault::Kind::NoComma, name);
        fault.line = refused->number;
    }
    return false;
}
