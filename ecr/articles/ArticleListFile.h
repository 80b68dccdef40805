#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/files/FileFault.h"

#include <list>
#include <string>

// The article list file: one line per article, "name,price,value1,taxRate,unit"
// and CR LF, the price in whole hundredths. Not the import form.
class ArticleListFile {
public:
    static std::string FormatLine(const ECRArticle& article);
    static std::string Format(const std::list<ECRArticle>& articles);
    // Replaces the file only when it was written completely; false with why
    // otherwise, the earlier file then being kept.
    static bool Write(const std::string& path, const std::list<ECRArticle>& articles, FileFault& fault);
};
