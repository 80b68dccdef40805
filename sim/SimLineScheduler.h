#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// When each byte on one direction of the line has arrived at the far end.
// Bytes wait until their ready time (a register busy printing holds its
// reply back); once ready they go onto the line one after another, each
// taking the time of 10 bits at the baud rate. A byte is due when its last
// bit is through. Due times are counted from the start of each unbroken run
// of bytes, so no rounding piles up over a long reply. All times are
// microseconds of the simulator's clock.
class SimLineScheduler {
public:
    // 0 = bytes take no time.
    void SetBaudRate(std::int32_t baudRate);

    // Queues bytes that may start going out at ready.
    void Queue(std::int64_t ready, std::string bytes);

    // The bytes that are through by now, in order.
    std::string TakeDue(std::int64_t now);
    // The same, each with the time it was through.
    std::vector<std::pair<std::int64_t, char>> TakeDueTimed(std::int64_t now);

    // The time at which the next byte is through, if any are queued.
    std::optional<std::int64_t> NextDue() const;
    // When the last queued byte is through, once every queued byte is on
    // the line (none held back).
    std::optional<std::int64_t> LastDue() const;

    bool Empty() const { return m_waiting.empty() && m_line.empty(); }
    // Bytes queued and not yet through.
    std::size_t Pending() const;

private:
    void Release(std::int64_t now);
    // Time from the start of a run until its count-th byte is through, rounded up.
    std::int64_t RunMicros(std::int64_t count) const;
    // When the last byte on the line is through.
    std::int64_t LineFree() const { return m_runStart + RunMicros(m_runBytes); }

    std::int32_t m_baudRate = 0;
    std::int64_t m_runStart = 0;
    std::int64_t m_runBytes = 0;
    std::multimap<std::int64_t, std::string> m_waiting;  // ready time -> bytes, in queueing order
    std::deque<std::pair<std::int64_t, char>> m_line;    // due time, byte
};
