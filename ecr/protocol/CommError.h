#pragma once

#include <cstdint>

// Thrown by value for failures of the serial link and the protocol; the code
// indexes the texts of CommErrorText.
class CommError {
public:
    explicit CommError(std::int32_t errorCode) : code(errorCode) {}
    std::int32_t code;
};
