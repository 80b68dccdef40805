#pragma once

#include "ecr/protocol/ECRClock.h"
#include "ecr/protocol/SerialPort.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// A scripted serial port for engine and command tests. Input is a queue of
// bytes and silences; every single-byte read takes the next queued event, so
// a reply is always delivered one byte at a time. An empty queue is silence.
//
// The line keeps its own time: a read that finds nothing takes its time-out,
// a late byte its delay. While a fake port exists, ECRClockMs reads that
// time (the newest port's, when several are alive), so deadlines run on it.
class FakeSerialPort : public SerialPort {
public:
    FakeSerialPort();
    ~FakeSerialPort() override;
    FakeSerialPort(const FakeSerialPort&) = delete;
    FakeSerialPort& operator=(const FakeSerialPort&) = delete;

    // Bytes that arrive on the line.
    void Feed(const std::string& bytes);
    // Bytes that arrive gapMs apart, the first gapMs after the read for it
    // starts: a read with a shorter time-out finds nothing and leaves the byte coming.
    void FeedPaced(std::int32_t gapMs, const std::string& bytes);
    // The next n single-byte reads find nothing (a per-byte time-out each).
    void FeedSilence(int reads = 1);
    // Moves the line's time on, for a replaced sleep.
    static void AdvanceClock(std::int64_t milliseconds);

    std::int64_t nowMs = 0;                // the line's time
    // The n-th write (1-based, counted from now on) throws CommError(8).
    void FailWriteNumber(int n) { m_failWrite = static_cast<int>(writes.size()) + n; }

    // Called after every successful write with its bytes; may Feed an answer.
    std::function<void(const std::string& written)> onWrite;

    std::vector<std::string> writes;       // every write, in order
    std::vector<std::string> reads;        // every ReadUntil / ReadCount result, in order
    std::vector<std::int32_t> timeouts;    // the per-byte time-out of every read, in order
    std::int32_t emptyByteReads = 0;       // single-byte reads that found nothing
    bool open = false;

    bool Open() override;
    bool Close() override;
    bool Write(ECRString text) override;
    ECRString ReadUntil(ECRString terminator, std::int32_t timeoutMs) override;
    ECRString ReadCount(std::int32_t count, std::int32_t timeoutMs) override;
    bool SetReadTimeout(std::int32_t timeoutMs) override;

private:
    // One single-byte read: the byte, or -1 for nothing.
    int ReadByte(std::int32_t timeoutMs);
    static std::int64_t Clock();

    struct Event {
        bool silence;
        char byte;
        std::int32_t delayMs;
    };
    std::deque<Event> m_input;
    int m_failWrite = 0;
    FakeSerialPort* m_previousClockPort;
    ECRClockFunction m_previousClock;
};
