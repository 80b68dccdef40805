#pragma once

#include <cstdint>
#include <string>

// Misbehaviour the simulated register shows on demand, so that the client's
// recovery paths can be exercised. Everything is deterministic: counts refer
// to replies, times come from the simulator's clock.
struct SimFaults {
    std::int32_t replyDelayMs = 0;       // extra wait before every reply
    std::int32_t busyMs = 0;             // busy time of every request, printing or not
    std::int32_t baudRate = 0;           // line pacing, 10 bits per byte; 0 = unpaced

    // "Every Nth reply" faults, counted over the replies sent since the fault was
    // set (see ECRSimulator::SetFaults); 0 = off, 1 = every reply.
    std::int32_t badChecksumEvery = 0;   // checksum digits wrong
    std::int32_t dropReplyEvery = 0;     // reply not sent at all (the command still takes effect)
    std::int32_t wrongLetterEvery = 0;   // reply letter that matches no command sent

    // One lost reply at a chosen request: the dropReplyAtCount-th request
    // (from 1, counted since the fault was set) whose command code is
    // dropReplyAt ("*e") takes effect and gets no reply; those before and
    // after it are answered. Empty = off.
    std::string dropReplyAt;
    std::int32_t dropReplyAtCount = 1;

    std::string garbageBeforeReply;      // bytes sent in front of every reply frame
    std::int32_t statusBytesBeforeReply = 0;  // busy status bytes (0xC0) in front of every reply
    std::string staleAfterReply;         // bytes sent after every reply, left for the next request
    bool silentToEnq = false;            // ENQ is not answered
    bool paperOut = false;               // printing refused with code 12 until cleared
};
