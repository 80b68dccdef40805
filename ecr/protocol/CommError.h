#pragma once

#include <cstdint>

// Thrown by value for failures of the serial link and the protocol. The code
// is the integer of the design's table (CommErrorText); code that throws or
// tests one uses the names below.
class CommError {
public:
    enum Code : std::int32_t {
        Ok = 0,
        OpenFailed = 1,
        // No port has been opened yet (nothing logged on): the design has no
        // code of its own for it and reports it as "Error opening port".
        NotConnected = OpenFailed,
        ReadSettingsFailed = 2,
        ApplySettingsFailed = 3,
        ReadTimeoutFailed = 4,
        ApplyTimeoutFailed = 5,
        ReadMaskFailed = 6,
        ApplyMaskFailed = 7,
        WriteFailed = 8,
        ReadFailed = 9,
        Timeout = 10,
        InvalidParameter = 11,
        NameNotUnique = 12,
        InvalidSystemParameter = 13,
        ThreadFailed = 14,
        GeneralFault = 15,
        Sync = 16,
        InvalidCommand = 17,
        WrongChecksum = 18,
        FileOpenFailed = 19,
        CodeCount = 20,
    };

    explicit CommError(std::int32_t errorCode) : code(errorCode) {}
    std::int32_t code;
};
