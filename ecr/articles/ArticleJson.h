#pragma once

#include "ecr/commands/ECRArticle.h"
#include "ecr/files/JsonValue.h"

#include <string>
#include <vector>

// Articles in JSON, as ecrctl's backup file and list output and ecrd's
// requests and answers carry them.
class ArticleJson {
public:
    // How a price may be written: "12.50" only (the backup file), or also
    // as a JSON number (a request).
    enum class Prices { TextOnly, TextOrNumber };

    // An article as read from the register: name (UTF-8), price ("12.50")
    // and priceHundredths, taxRate, unit, value1, value2.
    static JsonValue Listed(const ECRArticle& article);
    // A list of {"name", "price", "taxRate", "unit"} items, each one the
    // register takes (ECRArticleRules), no name twice, at most what the
    // register holds. Throws JsonFields::Refusal naming the article.
    static std::vector<ECRArticle> Read(const JsonValue& value, Prices prices, const std::string& where);
};
