#include "ecr/commands/ECRDateText.h"

#include <chrono>
#include <cstdio>

namespace {

// The number that count digits from at write, or -1 when one is not a digit.
int Number(const std::string& text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// YYYY-MM-DD, and with the time HH:MM after a space or a T.
bool Parse(const std::string& text, bool withTime, ECRDateTime& value, std::string& error)
{
    const bool shaped = text.size() == (withTime ? 16u : 10u) && text[4] == '-' && text[7] == '-' &&
                        (!withTime || ((text[10] == ' ' || text[10] == 'T') && text[13] == ':'));
    const int year = shaped ? Number(text, 0, 4) : -1;
    const int monthNumber = shaped ? Number(text, 5, 2) : -1;
    const int dayNumber = shaped ? Number(text, 8, 2) : -1;
    const int hour = shaped && withTime ? Number(text, 11, 2) : 0;
    const int minute = shaped && withTime ? Number(text, 14, 2) : 0;
    if (year < 0 || monthNumber < 0 || dayNumber < 0 || hour < 0 || minute < 0) {
        error = "expected " + std::string(withTime ? "YYYY-MM-DD HH:MM" : "YYYY-MM-DD") + ", not " + text;
        return false;
    }
    const unsigned month = static_cast<unsigned>(monthNumber);
    const unsigned day = static_cast<unsigned>(dayNumber);
    if (!std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)).ok()) {
        error = "no such date: " + text;
        return false;
    }
    ECRDateTime read;
    read.year = year - 2000;
    read.month = static_cast<std::int32_t>(month);
    read.day = static_cast<std::int32_t>(day);
    if (withTime) {
        read.hour = hour;
        read.minute = minute;
        if (read.hour > 23 || read.minute > 59) {
            error = "no such time: " + text;
            return false;
        }
    }
    value = read;
    return true;
}

}  // namespace

bool ECRDateText::ParseDateTime(const std::string& text, ECRDateTime& value, std::string& error)
{
    ECRDateTime read;
    if (!Parse(text, true, read, error)) {
        return false;
    }
    // The register keeps two digits of the year: 1970 would go out as -30.
    if (!read.IsValid()) {
        error = "the register's clock holds the years 2000 to 2099, not " + text;
        return false;
    }
    value = read;
    return true;
}

bool ECRDateText::ParseDate(const std::string& text, ECRDateTime& value, std::string& error)
{
    return Parse(text, false, value, error);
}

std::string ECRDateText::Format(const ECRDateTime& value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", value.year + 2000, value.month, value.day, value.hour,
                  value.minute);
    return text;
}
