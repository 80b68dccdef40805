#pragma once

#include <cstddef>

// Counts the bytes the test process holds through operator new while a
// meter is running, and the most it held at once; the graphics tests use it
// to bound what a picture file can cost.
class AllocationMeter {
public:
    AllocationMeter();
    ~AllocationMeter();
    AllocationMeter(const AllocationMeter&) = delete;
    AllocationMeter& operator=(const AllocationMeter&) = delete;

    // The most held at once since the meter started, beyond what was held then.
    std::size_t PeakBytes() const;
};
