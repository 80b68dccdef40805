#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// One line of the article database.
struct DatabaseArticle {
    ECRString name;
    ECRString barcode;
    std::int32_t price = 0;  // hundredths
    std::int32_t taxRate = 0;
    std::int32_t unit = 0;   // the file has no unit field
};
