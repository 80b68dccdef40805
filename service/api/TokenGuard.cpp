#include "service/api/TokenGuard.h"

#include <algorithm>

bool TokenGuard::Blocked(const std::string& address, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_records.find(address);
    return found != m_records.end() && found->second.blockedUntil > now;
}

void TokenGuard::Wrong(const std::string& address, Clock::time_point now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto found = m_records.find(address);
    if (found == m_records.end()) {
        if (m_records.size() >= kMostAddresses) {
            const auto oldest = std::min_element(m_records.begin(), m_records.end(), [](const auto& a, const auto& b) {
                return a.second.first < b.second.first;
            });
            m_records.erase(oldest);
        }
        found = m_records.emplace(address, Record{now, 0, {}}).first;
    }
    Record& record = found->second;
    if (now - record.first > kWindow)
        record = Record{now, 0, record.blockedUntil};
    if (++record.wrong >= kMostWrong)
        record.blockedUntil = now + kWindow;
}
