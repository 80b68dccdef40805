#pragma once

#include "ecr/protocol/ECRCallbacks.h"
#include "ecr/protocol/ECRField.h"
#include "ecr/protocol/ECRMessageSink.h"
#include "ecr/protocol/ECRProtocol.h"
#include "ecr/protocol/ECRString.h"

#include <cstdint>

class SerialPort;

// Carries out one exchange with the register at a time for an ECRProtocol
// implementation: flush, request, framed write, reply loop with ENQ status
// polling, unwrap and reply check. Framing and unwrapping go through the
// protocol object's virtual slots, so an implementation that replaces them
// changes every exchange. The port is not owned.
class ECREngine {
public:
    // Bounds on the status polling, so that a dead or stuck register never
    // blocks the program for ever: Transact throws CommError(10) when that
    // many one-second waits for a status byte go unanswered in a row, or when
    // the reply loop has gone without a reply for longer than the busy limit
    // (busy status bytes, status-only replies, a ready status that no reply
    // follows). Time is the nominal sum of the loop's time-outs and pauses,
    // so it does not depend on the real sleep.
    struct PollLimits {
        std::int32_t maxSilentWaits = 10;
        std::int32_t maxBusyMilliseconds = 300000;
    };

    ECREngine(ECRProtocol& protocol, SerialPort* port);

    std::int16_t ReadStatus();
    void SendAck();
    void SendNak();
    void ReportProgress(std::int32_t percent);
    ECRString SendRaw(ECRString request);
    ECRString SendReceive(ECRString request, std::int32_t timeoutMs);
    ECRString Transact(ECRString command, const ECRFieldList* fields);
    ECRString TransactNoPoll(ECRString request);

    void FlushInput();
    ECRString ReportTraffic(ECRString text);
    ECRString CheckReply(ECRString command, ECRString reply);

    void SetTrafficCallback(ECRTextCallback callback) { m_traffic = callback; }
    void SetProgressCallback(ECRProgressCallback callback) { m_progress = callback; }
    void SetMessageCallback(ECRTextCallback callback) { m_sink.SetCallback(callback); }

    void SetPollLimits(PollLimits limits) { m_limits = limits; }
    PollLimits GetPollLimits() const { return m_limits; }

    SerialPort* Port() const { return m_port; }

    // Replies that did not answer their command ("Exception"), counted over
    // the engine's life. Such a reply leaves the last device error code as it
    // was, so a caller that must know whether the register accepted a command
    // compares this count before and after it.
    std::uint64_t MismatchedReplies() const { return m_mismatchedReplies; }

private:
    // CheckReply, with a mismatching reply reported as "Exception" and answered
    // by the empty text.
    ECRString CheckedReply(const ECRString& command, const ECRString& payload);
    // The reply loop: waits for the reply frame, polling the status with ENQ
    // while nothing comes, and drops leading busy status bytes.
    ECRString AwaitReply();
    // One or more ENQ rounds until the register is no longer busy; returns
    // what was read after the status byte (with the byte if it opened the frame).
    ECRString PollForReply(std::int64_t& waitedMs);
    // Throws CommError(10) once the reply loop has waited longer than allowed.
    void CheckWaited(std::int64_t waitedMs) const;

    ECRProtocol& m_protocol;
    SerialPort* m_port;
    ECRMessageSink m_sink;
    ECRTextCallback m_traffic = nullptr;
    ECRProgressCallback m_progress = nullptr;
    PollLimits m_limits;
    std::uint64_t m_mismatchedReplies = 0;
};
