#pragma once

#include <cstdint>

// The register's clock value. On the wire: year, month, day, hour, minute.
struct ECRDateTime {
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;  // kept at 0; never sent and never read
    std::int32_t day = 0;
    std::int32_t month = 0;
    std::int32_t year = 0;  // calendar year minus 2000

    bool operator==(const ECRDateTime&) const = default;
};
