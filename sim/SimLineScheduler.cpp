#include "sim/SimLineScheduler.h"

#include <algorithm>

void SimLineScheduler::SetBaudRate(std::int32_t baudRate)
{
    // Bytes already on the line keep their times; the next ones count at the new rate.
    m_runStart = LineFree();
    m_runBytes = 0;
    m_baudRate = std::max(baudRate, 0);
}

void SimLineScheduler::Queue(std::int64_t ready, std::string bytes)
{
    if (!bytes.empty()) {
        m_waiting.emplace(ready, std::move(bytes));
    }
}

std::int64_t SimLineScheduler::RunMicros(std::int64_t count) const
{
    return m_baudRate > 0 ? (count * 10'000'000 + m_baudRate - 1) / m_baudRate : 0;
}

void SimLineScheduler::Release(std::int64_t now)
{
    while (!m_waiting.empty() && m_waiting.begin()->first <= now) {
        const auto& [ready, bytes] = *m_waiting.begin();
        if (ready >= LineFree()) {
            // The line has gone quiet: a new run starts.
            m_runStart = ready;
            m_runBytes = 0;
        }
        for (const char byte : bytes) {
            m_line.emplace_back(m_runStart + RunMicros(++m_runBytes), byte);
        }
        m_waiting.erase(m_waiting.begin());
    }
}

std::vector<std::pair<std::int64_t, char>> SimLineScheduler::TakeDueTimed(std::int64_t now)
{
    Release(now);
    std::vector<std::pair<std::int64_t, char>> out;
    while (!m_line.empty() && m_line.front().first <= now) {
        out.push_back(m_line.front());
        m_line.pop_front();
    }
    return out;
}

std::string SimLineScheduler::TakeDue(std::int64_t now)
{
    std::string out;
    for (const auto& [due, byte] : TakeDueTimed(now)) {
        out.push_back(byte);
    }
    return out;
}

std::optional<std::int64_t> SimLineScheduler::NextDue() const
{
    if (!m_line.empty()) {
        return m_line.front().first;
    }
    if (m_waiting.empty()) {
        return std::nullopt;
    }
    const std::int64_t ready = m_waiting.begin()->first;
    return ready >= LineFree() ? ready + RunMicros(1) : m_runStart + RunMicros(m_runBytes + 1);
}

std::optional<std::int64_t> SimLineScheduler::LastDue() const
{
    if (m_line.empty() || !m_waiting.empty()) {
        return std::nullopt;
    }
    return m_line.back().first;
}

std::size_t SimLineScheduler::Pending() const
{
    std::size_t count = m_line.size();
    for (const auto& [ready, bytes] : m_waiting) {
        count += bytes.size();
    }
    return count;
}
