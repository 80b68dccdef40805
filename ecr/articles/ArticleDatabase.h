#pragma once

#include "ecr/articles/DatabaseArticle.h"
#include "ecr/articles/TextLineReader.h"

#include <string>
#include <string_view>
#include <vector>

// The article database: TAB-separated "name, barcode, price, tax" lines;
// the price with two decimals, the tax by atoi rules, anything after a
// fourth TAB ignored.
class ArticleDatabase {
public:
    static constexpr const char* kPath = "./Baza/Baza.txt";
    // A shop's whole range fits many times over; a line is a few fields.
    static constexpr TextLineReader::Limits kLimits{64 * 1024 * 1024, 1024};

    static DatabaseArticle ParseLine(const std::string& line);
    // False with why (FaultText words it), articles then empty. A name that
    // would corrupt a sale request (a control byte, a backslash) is refused
    // with its line.
    static bool Read(const std::string& path, std::vector<DatabaseArticle>& articles, FileFault& fault);
    // The same for bytes already read; name stands for the file in messages.
    static bool Parse(std::string_view bytes, const std::string& name, std::vector<DatabaseArticle>& articles,
                      FileFault& fault);
    // The first article with exactly this barcode, or null.
    static const DatabaseArticle* FindBarcode(const std::vector<DatabaseArticle>& articles, const ECRString& barcode);
};
