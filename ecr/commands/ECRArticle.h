#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One article (PLU) as the register stores it.
struct ECRArticle {
    ECRString name;
    std::int32_t price = 0;  // hundredths
    // The tax rate's index (ECRArticleRules: 0..8).
    std::int32_t taxRate = 0;
    // Two more numbers an article read returns after the unit, kept as they
    // come; WriteArticle does not send them.
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    // The unit of measure's index (ECRArticleRules: 0..9).
    std::int32_t unit = 0;
};
