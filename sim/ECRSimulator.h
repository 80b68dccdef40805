#pragma once

#include "sim/SimDeviceHandlers.h"
#include "sim/SimFaults.h"
#include "sim/SimFiscalHandlers.h"
#include "sim/SimFrameReader.h"
#include "sim/SimJournal.h"
#include "sim/SimLineScheduler.h"
#include "sim/SimRegisterState.h"
#include "sim/SimSaleHandlers.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The simulated cash register as a state machine with no I/O: bytes from the
// client go in through Receive, the bytes it answers with come out of
// TakeOutput once their time has come. Time is read from the injected clock
// only, so a test that drives the clock gets the same bytes every run.
//
// With a baud rate set, the line is paced both ways like a UART, 10 bits a
// byte: a received byte counts only once it would be through (the first from
// the moment it was handed in, each further one behind the one before), and
// reply bytes come out no faster than the rate allows.
//
// It answers ENQ with a status byte (0x06 ready, 0xC0 busy printing), every
// request frame with a reply frame, and a frame with a wrong checksum or an
// unknown command with a device error reply (codes 2 and 255).
class ECRSimulator {
public:
    // Monotonic microseconds.
    using Clock = std::function<std::int64_t()>;

    static constexpr char kReady = 0x06;
    static constexpr char kBusy = static_cast<char>(0xC0);

    // localSecondsAtZero: the register's local calendar time, in seconds counted as if
    // it were UTC, at the moment the clock reads 0.
    ECRSimulator(Clock clock, std::int64_t localSecondsAtZero);

    // Hands in bytes as they reach the line; those whose time has come are taken at once.
    void Receive(std::string_view bytes);
    // Takes the received bytes whose time has come, and returns the reply bytes that are through.
    std::string TakeOutput();

    // The clock time at which TakeOutput next has something to do, if anything is pending.
    std::optional<std::int64_t> NextOutputTime() const;
    // When the last reply byte now queued is through, the line going quiet
    // after it; none while a reply is held back or nothing is queued.
    std::optional<std::int64_t> OutputEndTime() const { return m_line.LastDue(); }

    // Received bytes still on their way in.
    std::size_t InboundPending() const { return m_inbound.Pending(); }

    // Bytes taken off the line and put on it since the start, for wire-time accounting.
    std::uint64_t BytesReceived() const { return m_bytesReceived; }
    std::uint64_t BytesSent() const { return m_bytesSent; }

    bool Busy() const;

    // Replaces the fault settings; the "every Nth reply" counts start again.
    void SetFaults(const SimFaults& faults);
    const SimFaults& Faults() const { return m_faults; }
    void SetPaperOut(bool out) { m_faults.paperOut = out; }

    // Busy time of reports and receipts.
    void SetPrintMilliseconds(std::int32_t milliseconds) { m_printMs = milliseconds; }

    SimRegisterState& State() { return m_state; }
    const SimRegisterState& State() const { return m_state; }
    SimJournal& Journal() { return m_journal; }

    // A register left running for days must not grow without end: beyond this
    // many requests the older half of the record is dropped.
    static constexpr std::size_t kMaxRequestsKept = 100000;

    // Payloads of the request frames received, in order, including ones that failed their checksum.
    const std::vector<std::string>& Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }

private:
    void TakeReceived(std::int64_t now);
    void Accept(char byte, std::int64_t at);
    SimOutcome Answer(const SimFrameReader::Event& frame, std::int64_t now);
    SimOutcome Dispatch(const std::string& command, const std::string& body, std::int64_t now);
    void SendReply(const SimOutcome& outcome, std::int64_t now, bool lost);
    // Whether this request is the one whose reply SimFaults::dropReplyAt loses.
    bool LosesReplyTo(const std::string& payload);
    std::string Frame(std::string payload, bool wrongLetter, bool badChecksum) const;

    static bool Hits(std::int32_t every, std::int64_t count) { return every > 0 && count % every == 0; }

    Clock m_clock;
    SimRegisterState m_state;
    SimJournal m_journal;
    SimFiscalHandlers m_fiscal{m_state, m_journal};
    SimSaleHandlers m_sale{m_state, m_journal};
    SimDeviceHandlers m_device{m_state, m_journal};
    SimFrameReader m_reader;
    SimLineScheduler m_inbound;
    SimLineScheduler m_line;
    SimFaults m_faults;
    std::int32_t m_printMs = 0;
    std::int64_t m_busyUntil = 0;
    std::int64_t m_repliesSinceFaults = 0;
    std::int64_t m_dropCommandsSeen = 0;
    std::uint64_t m_bytesReceived = 0;
    std::uint64_t m_bytesSent = 0;
    std::vector<std::string> m_requests;
};
