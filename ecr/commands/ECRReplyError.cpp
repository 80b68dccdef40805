#include "ecr/commands/ECRReplyError.h"

#include "ecr/commands/ECRFieldReader.h"

std::string ECRReplyError::Describe() const
{
    // The value as the traffic decoder shows register text: control bytes escaped.
    return m_field + ": " + ECRFieldReader::ShowText(m_value) + " is not " + m_expected;
}
