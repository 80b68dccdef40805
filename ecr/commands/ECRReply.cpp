#include "ecr/commands/ECRReply.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRAtoi.h"

namespace {

std::int32_t Decimal(const ECRString& field)
{
    if (!ECRIsDecimal(field)) {
        throw CommError(CommError::Sync);
    }
    return ECRAtoi(field);
}

}  // namespace

ECRString ECRReply::Take(char terminator)
{
    return m_data.Tokenize(terminator);
}

std::int32_t ECRReply::TakeInt(char terminator)
{
    return ECRAtoi(Take(terminator));
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

ECRString ECRReply::TakeNonEmpty(char terminator)
{
    if (m_data.Find(terminator) < 1) {
        return ECRString();
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
