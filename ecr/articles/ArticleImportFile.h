#pragma once

#include "ecr/articles/TextLineReader.h"
#include "ecr/commands/ECRArticle.h"

#include <string>
#include <string_view>
#include <vector>

// The article import file: one article per line, "name,price,tax,unit".
// The price is read with two decimals (only "." can mark them, "," ends the
// field), tax and unit by atoi rules; missing fields are 0 and text after a
// fourth "," is ignored.
class ArticleImportFile {
public:
    // A line of a name, a price and two small numbers is well under this;
    // the register holds at most 15 000 articles.
    static constexpr TextLineReader::Limits kLimits{16 * 1024 * 1024, 1024};

    static ECRArticle ParseLine(const std::string& line);
    // Reads and checks the whole file before anything is sent: every line
    // must hold a comma, every article must be one the register takes
    // (ECRArticleRules), and there may be no more than it holds. False with the file, the line and the field in
    // fault (FaultText: "plu.txt, line 4, name: holds the control byte ...").
    static bool Read(const std::string& path, std::vector<ECRArticle>& articles, FileFault& fault);
    // The same for bytes already read; name stands for the file in messages.
    static bool Parse(std::string_view bytes, const std::string& name, std::vector<ECRArticle>& articles,
                      FileFault& fault);
};
