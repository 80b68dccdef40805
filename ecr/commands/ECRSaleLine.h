#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One line of a receipt as "*l" sells it.
struct ECRSaleLine {
    ECRString name;             // Windows-1250
    std::int32_t price = 0;     // hundredths
    std::int32_t quantity = 0;  // thousandths
    std::int32_t taxRate = 0;   // the rate's index (ECRArticleRules)
    std::int32_t unit = 0;      // the unit of measure's index (ECRArticleRules)

    // Price times quantity in hundredths, rounded half up, as the register
    // rounds a line.
    std::int64_t Amount() const { return (static_cast<std::int64_t>(price) * quantity + 500) / 1000; }
};
