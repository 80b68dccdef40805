#pragma once

#include "cli/RegisterSetup.h"

#include <optional>
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
        // The value each side holds, as shown to the user; none where the
        // article is missing on that side.
        std::optional<std::string> onRegister;
        std::optional<std::string> inFile;
        // Area::Article: the file's article, or the register's when the file lacks it.
        ECRArticle article;

        // "header line 2: register "A", file "B"".
        std::string Describe() const;
    };

    static std::vector<Difference> Compare(const RegisterSetup& onRegister, const RegisterSetup& inFile);
};
