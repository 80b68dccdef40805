#include "cli/CliArgs.h"

#include "cli/CliFailure.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/TextFault.h"
#include "ecr/commands/ScaledAmount.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <regex>

namespace {

ECRDateTime Parse(const std::string& text, bool withTime)
{
    static const std::regex dateTime(R"((\d{4})-(\d{2})-(\d{2})[ T](\d{2}):(\d{2}))");
    static const std::regex dateOnly(R"((\d{4})-(\d{2})-(\d{2}))");
    std::smatch m;
    if (!std::regex_match(text, m, withTime ? dateTime : dateOnly))
        throw CliFailure(CliFailure::kUsage,
                         "expected " + std::string(withTime ? "YYYY-MM-DD HH:MM" : "YYYY-MM-DD") + ", not " + text);
    const int year = std::stoi(m[1]);
    const unsigned month = static_cast<unsigned>(std::stoi(m[2]));
    const unsigned day = static_cast<unsigned>(std::stoi(m[3]));
    if (!std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)).ok())
        throw CliFailure(CliFailure::kUsage, "no such date: " + text);
    ECRDateTime value;
    value.year = year - 2000;
    value.month = static_cast<std::int32_t>(month);
    value.day = static_cast<std::int32_t>(day);
    if (withTime) {
        value.hour = std::stoi(m[4]);
        value.minute = std::stoi(m[5]);
        if (value.hour > 23 || value.minute > 59)
            throw CliFailure(CliFailure::kUsage, "no such time: " + text);
    }
    return value;
}

}  // namespace

ECRString CliArgs::ToRegister(const std::string& utf8)
{
    std::string bytes;
    TextFault fault;
    if (!ECRCodePage::FromUtf8(utf8, bytes, fault) || TextFault::FindControlByte(bytes, fault))
        throw CliFailure(CliFailure::kUsage, FaultText::Describe(fault, FaultText::Language::English));
    return ECRString(bytes.c_str());
}

std::string CliArgs::FromRegister(const ECRString& text)
{
    return ECRCodePage::ToUtf8(std::string_view(text.Data(), text.Length()));
}

std::optional<std::string> CliArgs::Hundredths(const ECRString& counter)
{
    std::int64_t value = 0;
    const char* end = counter.Data() + counter.Length();
    if (counter.Length() == 0 || std::from_chars(counter.Data(), end, value).ptr != end)
        return std::nullopt;
    return FormatScaled(value, 2).Data();
}

std::int32_t CliArgs::Amount(const std::string& utf8, std::int32_t decimals)
{
    // Only digits and the decimal mark count, so the bytes need no conversion.
    return ParseScaled(ECRString(utf8.c_str()), decimals);
}

ECRDateTime CliArgs::DateTime(const std::string& text)
{
    const ECRDateTime value = Parse(text, true);
    // The register keeps two digits of the year: 1970 would go out as -30.
    if (!value.IsValid())
        throw CliFailure(CliFailure::kUsage, "the register's clock holds the years 2000 to 2099, not " + text);
    return value;
}

ECRDateTime CliArgs::Date(const std::string& text)
{
    return Parse(text, false);
}

std::string CliArgs::FormatDateTime(const ECRDateTime& value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", value.year + 2000, value.month, value.day,
                  value.hour, value.minute);
    return text;
}

void CliArgs::CheckLineNumber(int line, int count)
{
    if (line < 1 || line > count)
        throw CliFailure(CliFailure::kUsage,
                         "--double takes line numbers 1.." + std::to_string(count) + ", not " + std::to_string(line));
}
