#include "ecr/commands/ECRDateText.h"

#include <chrono>
#include <cstdio>
#include <regex>

namespace {

bool Parse(const std::string& text, bool withTime, ECRDateTime& value, std::string& error)
{
    static const std::regex dateTime(R"((\d{4})-(\d{2})-(\d{2})[ T](\d{2}):(\d{2}))");
    static const std::regex dateOnly(R"((\d{4})-(\d{2})-(\d{2}))");
    std::smatch m;
    if (!std::regex_match(text, m, withTime ? dateTime : dateOnly)) {
        error = "expected " + std::string(withTime ? "YYYY-MM-DD HH:MM" : "YYYY-MM-DD") + ", not " + text;
        return false;
    }
    const int year = std::stoi(m[1]);
    const unsigned month = static_cast<unsigned>(std::stoi(m[2]));
    const unsigned day = static_cast<unsigned>(std::stoi(m[3]));
    if (!std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)).ok()) {
        error = "no such date: " + text;
        return false;
    }
    ECRDateTime read;
    read.year = year - 2000;
    read.month = static_cast<std::int32_t>(month);
    read.day = static_cast<std::int32_t>(day);
    if (withTime) {
        read.hour = std::stoi(m[4]);
        read.minute = std::stoi(m[5]);
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
