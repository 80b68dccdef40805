#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One article (PLU) as the register stores it.
struct ECRArticle {
    ECRString name;
    std::int32_t price = 0;  // hundredths
    std::int32_t taxRate = 0;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    std::int32_t unit = 0;
};
