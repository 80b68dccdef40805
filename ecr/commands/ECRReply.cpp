#include "ecr/commands/ECRReply.h"

#include "ecr/commands/ECRFieldReader.h"
#include "ecr/commands/ECRReplyError.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRAtoi.h"

#include <string_view>

namespace {

std::int32_t Decimal(const ECRString& field)
{
    if (!ECRIsDecimal(field)) {
        throw CommError(CommError::Sync);
    }
    return ECRAtoi(field);
}

std::int32_t Number(const ECRString& text, const std::string& field, std::int32_t low, std::int32_t high)
{
    if (text.Length() == 0) {
        return 0;
    }
    std::int64_t value = 0;
    if (!ECRFieldReader::ParseInt(std::string_view(text.Data(), text.Length()), value) || value < low || value > high) {
        throw ECRReplyError(field, std::string(text.Data(), text.Length()),
                            "a number from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

ECRString ECRReply::Take(char terminator)
{
    return m_data.Tokenize(terminator);
}

std::int32_t ECRReply::TakeNumber(char terminator, const std::string& field, std::int32_t low, std::int32_t high)
{
    return Number(Take(terminator), field, low, high);
}

ECRString ECRReply::TakeCounter(char terminator, const std::string& field)
{
    // 18 digits stay inside 64 bits, where an amount's arithmetic is done.
    constexpr std::size_t kMaxDigits = 18;
    const ECRString text = Take(terminator);
    const std::string_view fieldText(text.Data(), text.Length());
    const std::string_view digits = !fieldText.empty() && fieldText.front() == '-' ? fieldText.substr(1) : fieldText;
    const bool decimal = !digits.empty() && digits.size() <= kMaxDigits &&
                         digits.find_first_not_of("0123456789") == std::string_view::npos;
    if (!fieldText.empty() && !decimal) {
        throw ECRReplyError(field, std::string(fieldText), "a whole number of at most 18 digits");
    }
    return text;
}

std::int32_t ECRReply::TakeDecimal(char terminator)
{
    return Decimal(Take(terminator));
}

ECRString ECRReply::TakeField(char terminator)
{
    if (m_data.Find(terminator) < 0) {
        throw CommError(CommError::Sync);
    }
    return Take(terminator);
}

std::int32_t ECRReply::RestInt() const
{
    return ECRAtoi(m_data);
}

std::int32_t ECRReply::RestDecimal() const
{
    return Decimal(m_data);
}

std::int32_t ECRReply::RestNumber(const std::string& field, std::int32_t low, std::int32_t high) const
{
    return Number(m_data, field, low, high);
}
