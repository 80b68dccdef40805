#include "ecr/commands/ECRReplyError.h"

#include "ecr/commands/ECRFieldReader.h"

ECRReplyError ECRReplyError::Missing(std::string field)
{
    ECRReplyError error(std::move(field), std::string(), std::string());
    error.m_missing = true;
    return error;
}

std::string ECRReplyError::Describe() const
{
    if (m_missing) {
        return m_field + " is missing";
    }
    // The value as the traffic decoder shows register text: control bytes escaped.
    return m_field + ": " + ECRFieldReader::ShowText(m_value) + " is not " + m_expected;
}
