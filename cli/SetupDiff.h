#pragma once

#include "ecr/files/JsonValue.h"
#include "cli/RegisterSetup.h"

#include <string>
#include <vector>

// What differs between a register's programming and a backup of it, item by
// item, in the order a restore writes them: header, advertising text, the
// two printing switches, tax rates, then the articles by name.
class SetupDiff {
public:
    // The unit a restore writes: a whole header, all nine rates, one article.
    enum class Area { Header, Advert, AdvertSwitch, LogoSwitch, TaxRates, Article };

    struct Difference {
        Area area = Area::Header;
        std::string item;  // "header line 2", "tax rate G", "article \"Sok\"" (UTF-8)
        // The value each side holds, as data: a line's text (a string), a
        // double-size flag or a switch (true or false), a tax rate (an amount
        // as ecrctl writes amounts, "20.00"), an article ({"price": "12.50",
        // "taxRate": 2, "unit": 1}); null where the article is missing on
        // that side.
        JsonValue onRegister;
        JsonValue inFile;
        // Area::Article: the file's article, or the register's when the file lacks it.
        ECRArticle article;

        bool OnRegister() const { return onRegister.GetKind() != JsonValue::Kind::Null; }
        bool InFile() const { return inFile.GetKind() != JsonValue::Kind::Null; }
        // "header line 2: register "A", file "B"".
        std::string Describe() const;
    };

    static std::vector<Difference> Compare(const RegisterSetup& onRegister, const RegisterSetup& inFile);
};
