#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// The serial link to the register: six operations in a fixed slot order.
// Open, Write and SetReadTimeout return true or throw CommError; they never
// return false, so callers need no second failure path.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual bool Open() = 0;                                                       // slot 0
    virtual bool Close() = 0;                                                      // slot 1
    virtual bool Write(ECRString text) = 0;                                        // slot 2
    virtual ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) = 0;  // slot 3
    virtual ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) = 0;   // slot 4
    virtual bool SetReadTimeout(std::int32_t timeoutMs) = 0;                       // slot 5
};
