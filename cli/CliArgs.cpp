#include "cli/CliArgs.h"

#include "cli/CliFailure.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRDateText.h"
#include "ecr/commands/ScaledAmount.h"
#include "ecr/commands/TextFault.h"

#include <charconv>

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
    return ECRCodePage::ToUtf8(text);
}

std::int32_t CliArgs::Amount(const std::string& utf8, std::int32_t decimals)
{
    // Only digits and the decimal mark count, so the bytes need no conversion.
    return ParseScaled(ECRString(utf8.c_str()), decimals);
}

ECRDateTime CliArgs::DateTime(const std::string& text)
{
    ECRDateTime value;
    std::string error;
    if (!ECRDateText::ParseDateTime(text, value, error))
        throw CliFailure(CliFailure::kUsage, error);
    return value;
}

ECRDateTime CliArgs::Date(const std::string& text)
{
    ECRDateTime value;
    std::string error;
    if (!ECRDateText::ParseDate(text, value, error))
        throw CliFailure(CliFailure::kUsage, error);
    return value;
}

std::string CliArgs::FormatDateTime(const ECRDateTime& value)
{
    return ECRDateText::Format(value);
}

void CliArgs::CheckLineNumber(int line, int count)
{
    if (line < 1 || line > count)
        throw CliFailure(CliFailure::kUsage,
                         "--double takes line numbers 1.." + std::to_string(count) + ", not " + std::to_string(line));
}
