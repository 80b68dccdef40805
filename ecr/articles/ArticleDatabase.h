#pragma once

#include "ecr/articles/DatabaseArticle.h"

#include <string>
#include <vector>

// The article database: TAB-separated "name, barcode, price, tax" lines;
// the price with two decimals, the tax by atoi rules, anything after a
// fourth TAB ignored.
class ArticleDatabase {
public:
    static constexpr const char* kPath = "./Baza/Baza.txt";

    static DatabaseArticle ParseLine(const std::string& line);
    // False with "Problem pri otvaranju fajla: <path>" (or a read error) in error.
    static bool Read(const std::string& path, std::vector<DatabaseArticle>& articles, std::string& error);
    // The first article with exactly this barcode, or null.
    static const DatabaseArticle* FindBarcode(const std::vector<DatabaseArticle>& articles, const ECRString& barcode);
};
