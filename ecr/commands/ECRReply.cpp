#include "ecr/commands/ECRReply.h"

#include "ecr/commands/ECRFieldReader.h"
#include "ecr/commands/ECRReplyError.h"
#include "ecr/protocol/ECRAtoi.h"

#include <string_view>

namespace {

std::string Bytes(const ECRString& text)
{
    return std::string(text.Data(), text.Length());
}

std::int32_t Decimal(const ECRString& text, const std::string& field)
{
    if (!ECRIsDecimal(text)) {
        throw ECRReplyError(field, Bytes(text), "a whole number");
    }
    return ECRAtoi(text);
}

}  // namespace

void ECRReply::ExpectMore(const std::string& field) const
{
    if (m_missing == ECRMissingFields::Fail && m_data.Length() == 0) {
        throw ECRReplyError::Missing(field);
    }
}

std::int32_t ECRReply::Number(const ECRString& text, const std::string& field, std::int32_t low,
                              std::int32_t high) const
{
    if (text.Length() == 0 && m_missing == ECRMissingFields::ReadEmpty) {
        return 0;
    }
    std::int64_t value = 0;
    if (!ECRFieldReader::ParseInt(std::string_view(text.Data(), text.Length()), value) || value < low || value > high) {
        throw ECRReplyError(field, Bytes(text), "a number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<std::int32_t>(value);
}

ECRString ECRReply::Take(char terminator)
{
    return m_data.Tokenize(terminator);
}

ECRString ECRReply::TakeText(char terminator, const std::string& field)
{
    ExpectMore(field);
    return Take(terminator);
}

std::int32_t ECRReply::TakeNumber(char terminator, const std::string& field, std::int32_t low, std::int32_t high)
{
    ExpectMore(field);
    return Number(Take(terminator), field, low, high);
}

ECRString ECRReply::TakeCounter(char terminator, const std::string& field)
{
    // 18 digits stay inside 64 bits, where an amount's arithmetic is done.
    constexpr std::size_t kMaxDigits = 18;
    ExpectMore(field);
    const ECRString text = Take(terminator);
    const std::string_view fieldText(text.Data(), text.Length());
    const std::string_view digits = !fieldText.empty() && fieldText.front() == '-' ? fieldText.substr(1) : fieldText;
    const bool decimal = !digits.empty() && digits.size() <= kMaxDigits &&
                         digits.find_first_not_of("0123456789") == std::string_view::npos;
    const bool emptyReadsAsZero = fieldText.empty() && m_missing == ECRMissingFields::ReadEmpty;
    if (!decimal && !emptyReadsAsZero) {
        throw ECRReplyError(field, std::string(fieldText), "a whole number of at most 18 digits");
    }
    return text;
}

std::int32_t ECRReply::TakeDecimal(char terminator, const std::string& field)
{
    if (m_data.Length() == 0) {
        throw ECRReplyError::Missing(field);
    }
    return Decimal(Take(terminator), field);
}

ECRString ECRReply::TakeField(char terminator, const std::string& field)
{
    if (m_data.Find(terminator) < 0) {
        throw ECRReplyError::Missing(field);
    }
    return Take(terminator);
}

bool ECRReply::RestFlag(const std::string& field) const
{
    if (m_missing == ECRMissingFields::ReadEmpty) {
        return ECRAtoi(m_data) == 1;
    }
    return RestNumber(field, 0, 1) == 1;
}

std::int32_t ECRReply::RestDecimal(const std::string& field) const
{
    if (m_data.Length() == 0) {
        throw ECRReplyError::Missing(field);
    }
    return Decimal(m_data, field);
}

std::int32_t ECRReply::RestNumber(const std::string& field, std::int32_t low, std::int32_t high) const
{
    ExpectMore(field);
    return Number(m_data, field, low, high);
}
