#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// What became of one exchange with the register, as the engine saw it. The
// engine records one for every exchange (ECRVerdicts); code that must know
// whether the register did what it was asked reads it, never the process-wide
// last device error code, which another exchange may have set.
struct ECRVerdict {
    enum class Kind : std::uint8_t {
        // The reply answered the command and carried no device error code.
        Accepted,
        // The register answered the command with a device error code (code).
        Refused,
        // A reply came but failed a check (check): what the register did with
        // the command is unknown.
        FailedCheck,
        // No reply came, or the request could not be sent: the exchange ended
        // in a CommError (code holds its code).
        NoReply,
        // A raw exchange (SendRaw, SendReceive, the status enquiry): an answer
        // came, whole, and nothing checks it against a command.
        Unchecked,
    };

    // The check a reply failed, in the order they are made.
    enum class Check : std::uint8_t {
        None,
        FrameLength,  // 1 to 3 bytes: too short to hold a checksum
        Checksum,     // the two checksum digits do not match the payload
        ReplyLength,  // too short for the class, letter or error fields checked
        ReplyClass,   // not one of # $ * %
        ReplyLetter,  // the letter answers another command
        ErrorEcho,    // an error reply whose echo byte names another command
        ErrorCode,    // an error reply whose code is not a decimal number
    };

    Kind kind = Kind::NoReply;
    // The command code (or the raw request) the exchange sent.
    ECRString command;
    // Refused: the device error code; NoReply: the CommError code; else 0.
    std::int32_t code = 0;
    Check check = Check::None;

    // Accepted alone: a raw exchange's Unchecked is not.
    bool IsAccepted() const { return kind == Kind::Accepted; }

    // The check's name in a few English words ("checksum", "reply letter").
    static const char* CheckName(Check check);
};
