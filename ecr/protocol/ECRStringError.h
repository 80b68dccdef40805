#pragma once

#include <cstdint>

// Thrown by value when an ECRString is indexed at or beyond its length (code 1).
class ECRStringError {
public:
    explicit ECRStringError(std::int32_t errorCode) : code(errorCode) {}
    std::int32_t code;
};
