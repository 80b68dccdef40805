#pragma once

#include "WireSample.h"

#include <chrono>
#include <functional>
#include <utility>

// The part of a run a user times with a stopwatch: from the Enter key or the
// click that starts the operation to the prompt or the finished window. The
// runner marks both ends; the line's counts and the processor time used are
// taken at each, so that what came before (a log-on, opening a window) stays out.
class WireSpan {
public:
    // The processor time the whole process has used so far.
    static double ProcessCpuSeconds();

    // Bytes, frames and wire time on the line so far.
    using LineCounts = std::function<WireSample()>;

    explicit WireSpan(LineCounts counts) : m_counts(std::move(counts)) {}

    void Start();
    void Stop();
    bool Complete() const { return m_started && m_stopped; }
    // The wall and processor time between the marks and what crossed the line meanwhile.
    WireSample Sample() const;

private:
    using Clock = std::chrono::steady_clock;

    LineCounts m_counts;
    bool m_started = false;
    bool m_stopped = false;
    Clock::time_point m_start;
    Clock::time_point m_stop;
    double m_cpuAtStart = 0;
    double m_cpuAtStop = 0;
    WireSample m_atStart;
    WireSample m_atStop;
};
