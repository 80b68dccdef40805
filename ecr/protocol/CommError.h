#pragma once

#include <cstdint>

// Thrown by value for failures of the serial link and the protocol. The code
// is the integer of the design's table (CommErrorText); code that throws or
// tests one uses the names below.
// Which the core throws: the serial port's codes 1 to 9 come from the port
// (SerialPort), Timeout from the engine, InvalidParameter from a request being
// built, Sync from reply checks, InvalidCommand from a bad checksum. The others
// keep the design's table whole.
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
        // Writing to the port failed: every operation that writes passes it on.
        WriteFailed = 8,
        ReadFailed = 9,
        // No reply: the engine's polling ran out of its limits (PollLimits).
        Timeout = 10,
        // A request field holding a field terminator (ECRRequest::Text); thrown
        // while the request is built, before anything is sent.
        InvalidParameter = 11,
        NameNotUnique = 12,
        InvalidSystemParameter = 13,
        ThreadFailed = 14,
        GeneralFault = 15,
        // A reply that does not answer its command, or lacks a field the caller
        // cannot do without (ECRFrame::CheckReply, ECRReply, the command groups).
        Sync = 16,
        // A reply frame whose checksum does not match (ECRFrame::Unframe). The
        // design raises 17 there and never 18, and the windows' messages,
        // ecrctl's exit codes and the traces are built on it.
        InvalidCommand = 17,
        // Never thrown: a checksum mismatch is InvalidCommand (above).
        WrongChecksum = 18,
        FileOpenFailed = 19,
        // How many codes the table has; not a code.
        CodeCount = 20,
    };

    explicit CommError(std::int32_t errorCode) : code(errorCode) {}
    // One of the codes above; CommErrorText words it.
    std::int32_t code;
};
