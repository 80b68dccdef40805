#include "sim/SimClock.h"

#include <chrono>

namespace {
constexpr std::int64_t kDay = 86400;

// Floor division, so that times before 1970 still land on the right day.
std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    std::int64_t quotient = value / divisor;
    if ((value % divisor != 0) && ((value < 0) != (divisor < 0))) {
        --quotient;
    }
    return quotient;
}
}  // namespace

std::int64_t SimClock::Seconds(std::int64_t monotonicMicros) const
{
    return m_base + FloorDiv(monotonicMicros, 1000000) + m_offset;
}

void SimClock::Set(std::int64_t seconds, std::int64_t monotonicMicros)
{
    m_offset += seconds - Seconds(monotonicMicros);
}

std::optional<std::int64_t> SimClock::ToSeconds(const Calendar& c)
{
    using namespace std::chrono;
    const year_month_day date{year{c.year}, month{static_cast<unsigned>(c.month)},
                              day{static_cast<unsigned>(c.day)}};
    if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > 31 || !date.ok() || c.hour < 0 || c.hour > 23 ||
        c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59) {
        return std::nullopt;
    }
    const std::int64_t days = sys_days{date}.time_since_epoch().count();
    return days * kDay + c.hour * 3600 + c.minute * 60 + c.second;
}

SimClock::Calendar SimClock::FromSeconds(std::int64_t seconds)
{
    using namespace std::chrono;
    const std::int64_t days = FloorDiv(seconds, kDay);
    const std::int64_t rest = seconds - days * kDay;
    const year_month_day date{sys_days{std::chrono::days{days}}};
    Calendar c;
    c.year = static_cast<int>(date.year());
    c.month = static_cast<std::int32_t>(static_cast<unsigned>(date.month()));
    c.day = static_cast<std::int32_t>(static_cast<unsigned>(date.day()));
    c.hour = static_cast<std::int32_t>(rest / 3600);
    c.minute = static_cast<std::int32_t>(rest % 3600 / 60);
    c.second = static_cast<std::int32_t>(rest % 60);
    return c;
}

std::optional<std::int64_t> SimClock::FromWire(std::int64_t year, std::int64_t month, std::int64_t day,
                                               std::int64_t hour, std::int64_t minute)
{
    if (year < 0 || year > 99) {
        return std::nullopt;
    }
    Calendar c;
    c.year = static_cast<std::int32_t>(2000 + year);
    c.month = static_cast<std::int32_t>(month);
    c.day = static_cast<std::int32_t>(day);
    c.hour = static_cast<std::int32_t>(hour);
    c.minute = static_cast<std::int32_t>(minute);
    if (month != c.month || day != c.day || hour != c.hour || minute != c.minute) {
        return std::nullopt;
    }
    return ToSeconds(c);
}
