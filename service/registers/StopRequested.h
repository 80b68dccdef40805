#pragma once

#include <stdexcept>

// Thrown between two exchanges when the service is stopping: the job is
// left as the journal has it, and settled at the next start.
class StopRequested : public std::runtime_error {
public:
    StopRequested() : std::runtime_error("the service is stopping") {}
};
