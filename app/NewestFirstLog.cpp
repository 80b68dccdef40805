#include "app/NewestFirstLog.h"

void NewestFirstLog::Add(std::string_view entry)
{
    if (m_entries.size() == 1 && m_entries.front().empty()) {
        Clear();
    }
    m_entries.emplace_back(entry);
}

void NewestFirstLog::Clear()
{
    m_entries.clear();
    ++m_generation;
}

std::string NewestFirstLog::Text() const
{
    std::string text;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it != m_entries.rbegin()) {
            text += "\r\n";
        }
        text += *it;
    }
    return text;
}
