#include "WireSpan.h"

#include <ctime>

double WireSpan::ProcessCpuSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void WireSpan::Start()
{
    m_atStart = m_counts();
    m_started = true;
    m_stopped = false;
    m_cpuAtStart = ProcessCpuSeconds();
    m_start = Clock::now();
}

void WireSpan::Stop()
{
    m_stop = Clock::now();
    m_cpuAtStop = ProcessCpuSeconds();
    m_atStop = m_counts();
    m_stopped = m_started;
}

WireSample WireSpan::Sample() const
{
    WireSample sample;
    if (!Complete()) {
        return sample;
    }
    sample.wallSeconds = std::chrono::duration<double>(m_stop - m_start).count();
    sample.wireSeconds = m_atStop.wireSeconds - m_atStart.wireSeconds;
    sample.cpuSeconds = m_cpuAtStop - m_cpuAtStart;
    sample.frames = m_atStop.frames - m_atStart.frames;
    sample.lineBytes = m_atStop.lineBytes - m_atStart.lineBytes;
    return sample;
}
