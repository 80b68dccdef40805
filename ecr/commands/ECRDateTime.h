#pragma once

#include <chrono>
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

    // A day and a time that exist, in the register's two-digit years.
    bool IsValid() const
    {
        if (year < 0 || year > 99 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 ||
            minute < 0 || minute > 59) {
            return false;
        }
        return std::chrono::year_month_day(std::chrono::year(2000 + year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day)))
            .ok();
    }
};
