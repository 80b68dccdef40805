#pragma once

#include <cstdint>

// What "*e" pays a receipt with, in hundredths.
struct ECRPayments {
    std::int32_t cash = 0;
    std::int32_t cheque = 0;
    std::int32_t card = 0;

    std::int64_t Sum() const { return std::int64_t{cash} + cheque + card; }
};
