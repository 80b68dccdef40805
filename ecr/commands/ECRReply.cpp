#include "ecr/commands/ECRReply.h"

#include "ecr/protocol/ECRAtoi.h"

ECRString ECRReply::Take(char terminator)
{
    return m_data.Tokenize(terminator);
}

std::int32_t ECRReply::TakeInt(char terminator)
{
    return ECRAtoi(Take(terminator));
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
