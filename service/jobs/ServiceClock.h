#pragma once

#include <cstdint>

// Where ecrd reads the time of day for what it records (a job's times, a
// link's changes): the system's clock, or one a test sets.
class ServiceClock {
public:
    virtual ~ServiceClock() = default;
    // Milliseconds since 1970, UTC.
    virtual std::int64_t NowMs() const = 0;

    // The system's clock.
    static const ServiceClock& System();
};
