#pragma once

#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"
#include "ecr/protocol/ECRVerdicts.h"

#include <cstdint>
#include <utility>

class SerialPort;

// Carries out one exchange with the register at a time for an ECRProtocol
// implementation: flush, request, framed write, reply loop with ENQ status
// polling, unwrap and reply check. Framing and unwrapping go through the
// protocol object's virtual slots, so an implementation that replaces them
// changes every exchange. The port is not owned.
class ECREngine {
public:
    // The cadence of an exchange and the bounds on the status polling, so
    // that a dead, stuck or forgetful register never blocks the program for
    // ever. Transact throws CommError(10) when
    // - maxSilentWaits status waits in a row go unanswered;
    // - the register answers "ready" maxReadyWithoutReply times in a row and
    //   the reply does not follow: it has lost the reply, and the request is
    //   never sent again (a repeated sale or report would be worse);
    // - the reply loop has gone without a reply for longer than
    //   maxBusyMilliseconds (a register that keeps saying "busy"). That time is
    //   counted (the sum of the loop's time-outs and pauses, so that it holds
    //   under a replaced sleep) and also measured on ECRClockMs, so that slow
    //   answers cannot stretch it by more than one wait.
    // The time-outs are the design's; tests shorten them to run faster.
    struct PollLimits {
        std::int32_t maxSilentWaits = 10;
        std::int32_t maxBusyMilliseconds = 300000;
        std::int32_t maxReadyWithoutReply = 2;
        std::int32_t replyTimeoutMs = 3000;   // per byte of a reply
        std::int32_t statusTimeoutMs = 1000;  // for the status byte answering ENQ
        std::int32_t pollPauseMs = 500;       // after every status wait, and once more after a status byte
        std::int32_t quietMs = 50;            // how long the line must stay quiet to count as drained
        // The line's speed in baud, 0 when not known. Whoever opens the line
        // sets it (RegisterLink does): a drain then takes the line for quiet
        // after DrainGapMs(lineBaud), about ten bytes' time, unless something
        // comes, instead of waiting quietMs on every log-on.
        std::int32_t lineBaud = 0;
    };

    // About ten bytes' time at the speed (10 bits a byte), in whole
    // milliseconds and at least 4, so that the time a read took still tells
    // a quiet line from a zero byte: 5 ms at 19200 baud, 10 at 9600.
    static std::int32_t DrainGapMs(std::int32_t baud);

    // Limits every engine starts with; the design's unless replaced (tests
    // that run whole programs in their process shorten them). Set it before
    // engines are built, not while another thread builds one.
    static void SetDefaultPollLimits(PollLimits limits);
    static PollLimits DefaultPollLimits();

    // Starts with DefaultPollLimits(), no callbacks and no verdict yet. The
    // protocol object and the port must outlive the engine.
    ECREngine(ECRProtocol& protocol, SerialPort* port);

    // The log-on's status enquiry. Drains the line first, so that bytes left
    // over from an earlier run are not taken for the status. Then sends ENQ
    // alone and waits statusTimeoutMs for one byte: returns it as a signed
    // byte (a busy status is negative), or 0 when none came. Silence throws
    // nothing; its verdict is NoReply with code 10 (a byte's is Unchecked).
    // Throws the port's CommError.
    std::int16_t ReadStatus();
    // Write ACK (0x06) or NAK (0x15) alone: no settling of the line, no read,
    // no verdict. Throw the port's CommError.
    void SendAck();
    void SendNak();
    // Hands percent to the progress callback when one is set; sends nothing.
    void ReportProgress(std::int32_t percent);
    // The four ways to send: what each sends, reports, waits for, checks,
    // returns, throws and records is compared in the table in ECRProtocol.h.
    // A reply frame whose checksum does not match throws CommError(17) from
    // the protocol's Unframe, passed on as it is: 17 and not 18, because the
    // design raises 17 there and never 18, and the windows' messages, ecrctl's
    // exit codes and the traces are built on it; the verdict says Checksum.
    ECRString SendRaw(ECRString request);
    ECRString SendReceive(ECRString request, std::int32_t timeoutMs);
    ECRString Transact(ECRString command, const ECRFieldList* fields);
    ECRString TransactNoPoll(ECRString request);

    // Reads and drops single bytes until none comes within 1 ms (at most
    // 65536 of them), so that bytes that came before a request are not read
    // as its reply. Sends nothing; the port reports what it read.
    void FlushInput();
    // Reads until the line has been quiet for quietMs (bounded, so a line
    // that never falls quiet cannot hold it); the port reports what was read.
    // With the line's speed known, a line found quiet for DrainGapMs at the
    // start is drained at once; once anything has come, the rest of it must
    // leave the line quiet for quietMs, as bytes of a late reply may come in
    // bursts (a USB adapter hands them on every few milliseconds).
    void DrainInput();
    // Hands the text to the traffic callback when one is set; returns it unchanged.
    ECRString ReportTraffic(ECRString text);
    // ECRFrame::CheckReply with this engine's message sink and no verdict.
    // Unlike the exchanges' own check, a reply that does not answer the command
    // throws CommError(16) here; a reply too short for the check throws
    // ECRStringError. The exchanges do not use it.
    ECRString CheckReply(ECRString command, ECRString reply);

    // An empty callback switches its report off. Traffic: the requests as the
    // table in ECRProtocol.h says, and "Exception" for a reply that failed its
    // check. Message: the register's message (Windows-1250) for the device code
    // of every reply that passed its check. Progress: ReportProgress. Wait:
    // called after each write that expects an answer (a request or an ENQ).
    void SetTrafficCallback(ECRTextCallback callback) { m_traffic = std::move(callback); }
    void SetProgressCallback(ECRProgressCallback callback) { m_progress = std::move(callback); }
    void SetMessageCallback(ECRTextCallback callback) { m_sink.SetCallback(std::move(callback)); }
    void SetWaitCallback(ECRWaitCallback callback) { m_wait = std::move(callback); }

    // This engine's limits, from its next exchange on.
    void SetPollLimits(PollLimits limits) { m_limits = limits; }
    PollLimits GetPollLimits() const { return m_limits; }

    // The port the engine drives (not owned).
    SerialPort* Port() const { return m_port; }

    // The verdict of every exchange this engine has made (ECRVerdict).
    ECRVerdicts& Verdicts() { return m_verdicts; }

private:
    // Time spent in the reply loop without a reply, and the "ready" answers
    // that no reply followed.
    struct ReplyWait {
        std::int64_t countedMs = 0;
        std::int64_t startMs = 0;
        std::int32_t readyWithoutReply = 0;
    };

    // Before an exchange: drains the line when the exchange before it did not
    // end cleanly (its reply may still be coming, or half of it is left).
    void SettleLine();
    // Runs one exchange; an exchange that throws leaves the line unsettled.
    template <class Exchange>
    auto Settled(Exchange&& exchange);
    // Runs one exchange (Settled) and records its verdict: the pending one as
    // the exchange left it, with the code of a CommError that ended it.
    template <class Exchange>
    ECRString Judged(const ECRString& command, Exchange&& exchange);
    // Unframe through the protocol's slot; a frame that fails its length or
    // checksum test becomes the pending verdict before the error goes on.
    ECRString UnframeReply(const ECRString& reply);
    // CheckReply, with a mismatching reply reported as "Exception" and answered
    // by the empty text; the pending verdict says what the check found.
    ECRString CheckedReply(const ECRString& command, const ECRString& payload);
    // The reply loop: waits for the reply frame, polling the status with ENQ
    // while nothing comes, and drops leading busy status bytes.
    ECRString AwaitReply();
    // One or more ENQ rounds until the register is no longer busy; returns
    // what was read after the status byte (with the byte if it opened the frame).
    ECRString PollForReply(ReplyWait& wait);
    // Writes a frame and reads its answer up to the closing ESC '\' (no
    // polling), unwrapped; an exchange with no answer leaves the line unsettled.
    ECRString ExchangeFrame(const ECRString& frame, std::int32_t timeoutMs);
    // Writes what expects an answer, then reports the wait for it.
    void WriteAwaitingAnswer(const ECRString& bytes);
    // Throws CommError(10) once the reply loop has waited longer than allowed.
    void CheckWaited(const ReplyWait& wait) const;

    ECRProtocol& m_protocol;
    SerialPort* m_port;
    ECRMessageSink m_sink;
    ECRTextCallback m_traffic = nullptr;
    ECRProgressCallback m_progress = nullptr;
    ECRWaitCallback m_wait = nullptr;
    PollLimits m_limits;
    ECRVerdicts m_verdicts;
    // The verdict of the exchange under way, recorded when it ends.
    ECRVerdict m_pending;
    bool m_lineUnsettled = false;
};
