#include "service/api/RequestFaults.h"

void RequestFaults::Add(const std::string& pointer, const std::string& text)
{
    if (m_faults.empty())
        message = text;
    m_faults.push_back({pointer, text});
}

void RequestFaults::ThrowIfAny() const
{
    if (!m_faults.empty())
        throw *this;
}
