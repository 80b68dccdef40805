#pragma once

#include <cstdint>
#include <optional>

// The register's clock: the host's clock plus an offset the client sets.
// Times are whole seconds on the register's local calendar, counted as if
// it were UTC, so no time zone enters the simulator.
class SimClock {
public:
    struct Calendar {
        std::int32_t year = 2000;   // full year
        std::int32_t month = 1;
        std::int32_t day = 1;
        std::int32_t hour = 0;
        std::int32_t minute = 0;
        std::int32_t second = 0;
    };

    // localSecondsAtZero: the register's local time when the monotonic clock reads 0.
    explicit SimClock(std::int64_t localSecondsAtZero = 0) : m_base(localSecondsAtZero) {}

    std::int64_t Seconds(std::int64_t monotonicMicros) const;
    Calendar Now(std::int64_t monotonicMicros) const { return FromSeconds(Seconds(monotonicMicros)); }

    void Set(std::int64_t seconds, std::int64_t monotonicMicros);
    void Shift(std::int64_t seconds) { m_offset += seconds; }

    // Seconds of a calendar value, or nothing for an impossible date or time.
    static std::optional<std::int64_t> ToSeconds(const Calendar& calendar);
    static Calendar FromSeconds(std::int64_t seconds);

    // A two-digit year as the protocol sends it, taken as 2000 + year.
    static std::optional<std::int64_t> FromWire(std::int64_t year, std::int64_t month, std::int64_t day,
                                                std::int64_t hour, std::int64_t minute);

private:
    std::int64_t m_base;
    std::int64_t m_offset = 0;
};
