#pragma once

#include <cstdint>

// One timed run of a scenario, and what went over the line meanwhile.
struct WireSample {
    double wallSeconds = 0;
    double wireSeconds = 0;       // every byte both ways at 10 bits, back to back
    double cpuSeconds = 0;        // the process's processor time, the register's thread included
    std::uint64_t frames = 0;     // request frames the register received
    std::uint64_t lineBytes = 0;  // bytes both ways, ENQ and status bytes included

    // Share of the wall time the line was needed for.
    double Efficiency() const { return wallSeconds > 0 ? wireSeconds / wallSeconds : 0; }
};
