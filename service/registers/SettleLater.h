#pragma once

#include <stdexcept>

// Thrown where the register cannot be asked what became of a job (no
// answer, the line down): the job stays running, and its worker settles it
// once the link is open again.
class SettleLater : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
