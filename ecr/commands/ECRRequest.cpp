#include "ecr/commands/ECRRequest.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"

namespace {
constexpr std::int32_t kIntKind = 1;
constexpr std::int32_t kTextKind = 2;
constexpr std::int32_t kAmountKind = 3;
}  // namespace

ECRRequest& ECRRequest::Int(std::int32_t value)
{
    m_fields.emplace_back(ECRString(value), kIntKind);
    return *this;
}

ECRRequest& ECRRequest::Flag(bool value)
{
    m_fields.emplace_back(ECRString(value ? "1" : "0"), kIntKind);
    return *this;
}

ECRRequest& ECRRequest::Text(const ECRString& text)
{
    if (text.Find(ECRFrame::US) >= 0 || text.Find(ECRFrame::LF) >= 0 || text.Find(ECRFrame::HT) >= 0) {
        throw CommError(CommError::InvalidParameter);
    }
    m_fields.emplace_back(text, kTextKind);
    return *this;
}

ECRRequest& ECRRequest::Amount(std::int32_t value)
{
    m_fields.emplace_back(ECRString(value), kAmountKind);
    return *this;
}

ECRString ECRRequest::Send(ECRProtocol& protocol) const
{
    return protocol.Transact(m_command, &m_fields);
}
