#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <string>

// The serial link to the register: six operations in a fixed slot order.
// Open, Write and SetReadTimeout return true or throw CommError; they never
// return false, so callers need no second failure path.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens and sets up the line (CommError 1 to 3 when it cannot).
    virtual bool Open() = 0;                                                       // slot 0
    // False when closing failed; throws nothing.
    virtual bool Close() = 0;                                                      // slot 1
    // Writes the bytes (CommError(8) when it cannot).
    virtual bool Write(ECRString text) = 0;                                        // slot 2
    // Reads until the terminator's first byte has come (it ends what is
    // returned), no byte comes for timeoutMs, or the port's own bound on a
    // read is reached; what was read, the empty text when nothing came. The
    // engine reads every reply frame this way, to '\'. A read sets its time-out
    // first, so it may throw what SetReadTimeout throws.
    virtual ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) = 0;  // slot 3
    // Reads until count bytes have come or no byte comes for timeoutMs (or
    // the port's own bound); what was read, the empty text when nothing came.
    virtual ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) = 0;   // slot 4
    // The time-out of the reads that follow (CommError 4 or 5 when it cannot
    // be read or set).
    virtual bool SetReadTimeout(std::int32_t timeoutMs) = 0;                       // slot 5

    // Not of the six; they matter once a port is not a local line.
    // Drops what the far end holds for us before it reaches us, at the start
    // of every flush: a serial port has nothing there (the engine reads stale
    // input away itself); a network transport asks its server to purge.
    virtual void PurgeInput() {}
    // What went wrong last, in words that name the port ("kasa.lan:2000:
    // connection refused"), for a message beside the CommError's own text;
    // empty when that text says all.
    virtual std::string Problem() const { return std::string(); }
};
