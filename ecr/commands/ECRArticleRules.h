#pragma once

#include "ecr/commands/ECRArticle.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What the register takes for an article (the simulated register applies
// the same limits). Checked before a file's articles are sent, so that one
// bad line cannot leave the register half programmed or corrupt a request.
class ECRArticleRules {
public:
    static constexpr std::size_t kNameLength = 32;        // bytes, one per character
    static constexpr std::int32_t kMaxPrice = 99999999;   // 999 999.99
    static constexpr std::int32_t kMaxTaxRate = 8;        // rate index
    static constexpr std::int32_t kMaxUnit = 9;           // unit of measure index
    static constexpr std::size_t kCapacity = 15000;       // articles the register holds

    struct Fault {
        std::string field;    // "name", "price", "tax rate", "unit"
        std::string problem;  // what is wrong, for a message
    };

    // The first field the register would refuse, or nothing.
    static std::optional<Fault> Check(const ECRArticle& article);
    // A name's bytes alone: a control byte (the field terminators among
    // them) would split or end the request's field, and a backslash would
    // cut a reply that carries the name short.
    static std::optional<std::string> CheckNameBytes(const ECRString& name);
};
