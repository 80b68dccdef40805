#include "app/NewestFirstLog.h"

NewestFirstLog::NewestFirstLog(std::size_t maxEntries, std::size_t maxBytes)
    : m_maxEntries(maxEntries), m_maxBytes(maxBytes)
{
}

void NewestFirstLog::Add(std::string_view entry)
{
    if (m_entries.size() == 1 && m_entries.front().empty()) {
        Clear();
    }
    m_entries.emplace_back(entry);
    m_bytes += entry.size();
    ++m_added;
    while (m_entries.size() > 1 && (m_entries.size() > m_maxEntries || m_bytes > m_maxBytes)) {
        m_bytes -= m_entries.front().size();
        m_entries.pop_front();
    }
}

void NewestFirstLog::Clear()
{
    m_entries.clear();
    m_bytes = 0;
    m_added = 0;
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
