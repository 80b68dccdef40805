#include "sim/SimLineScheduler.h"

#include <algorithm>

void SimLineScheduler::SetBaudRate(std::int32_t baudRate)
{
    m_byteMicros = baudRate > 0 ? 10'000'000 / baudRate : 0;
}

void SimLineScheduler::Queue(std::int64_t ready, std::string bytes)
{
    if (!bytes.empty()) {
        m_waiting.emplace(ready, std::move(bytes));
    }
}

void SimLineScheduler::Release(std::int64_t now)
{
    while (!m_waiting.empty() && m_waiting.begin()->first <= now) {
        const auto& [ready, bytes] = *m_waiting.begin();
        std::int64_t due = std::max(ready, m_lineFree);
        for (const char byte : bytes) {
            due += m_byteMicros;
            m_line.emplace_back(due, byte);
        }
        m_lineFree = due;
        m_waiting.erase(m_waiting.begin());
    }
}

std::string SimLineScheduler::TakeDue(std::int64_t now)
{
    Release(now);
    std::string out;
    while (!m_line.empty() && m_line.front().first <= now) {
        out.push_back(m_line.front().second);
        m_line.pop_front();
    }
    return out;
}

std::optional<std::int64_t> SimLineScheduler::NextDue() const
{
    std::optional<std::int64_t> next;
    if (!m_line.empty()) {
        next = m_line.front().first;
    }
    if (!m_waiting.empty()) {
        const std::int64_t ready = std::max(m_waiting.begin()->first, m_lineFree) + m_byteMicros;
        next = next ? std::min(*next, ready) : ready;
    }
    return next;
}
