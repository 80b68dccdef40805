#pragma once

#include "ecr/commands/ECRArticle.h"

#include <string>
#include <vector>

// The article import file: one article per line, "name,price,tax,unit".
// The price is read with two decimals (only "." can mark them, "," ends the
// field), tax and unit by atoi rules; missing fields are 0 and text after a
// fourth "," is ignored.
class ArticleImportFile {
public:
    static ECRArticle ParseLine(const std::string& line);
    // False with "Problem pri otvaranju fajla: <path>" (or a read error) in error.
    static bool Read(const std::string& path, std::vector<ECRArticle>& articles, std::string& error);
};
