#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>

// When each byte the register sends goes out on the line. Replies wait
// until their ready time (a register busy printing holds its reply back);
// once ready they go onto the line one after another, each byte taking the
// time of 10 bits at the baud rate. All times are microseconds of the
// simulator's clock.
class SimLineScheduler {
public:
    // 0 = bytes take no time.
    void SetBaudRate(std::int32_t baudRate);

    // Queues bytes that may start going out at ready.
    void Queue(std::int64_t ready, std::string bytes);

    // The bytes that have gone out by now, in order.
    std::string TakeDue(std::int64_t now);

    // The time at which the next byte goes out, if any are queued.
    std::optional<std::int64_t> NextDue() const;

    bool Empty() const { return m_waiting.empty() && m_line.empty(); }

private:
    void Release(std::int64_t now);

    std::int64_t m_byteMicros = 0;
    std::int64_t m_lineFree = 0;
    std::multimap<std::int64_t, std::string> m_waiting;  // ready time -> bytes, in queueing order
    std::deque<std::pair<std::int64_t, char>> m_line;    // due time, byte
};
