#include "ecr/protocol/ECREngine.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRSleep.h"
#include "serial/SerialPort.h"

namespace {

constexpr std::int32_t kReplyTimeoutMs = 3000;
constexpr std::int32_t kRawReplyTimeoutMs = 1000;
constexpr std::int32_t kStatusTimeoutMs = 1000;
constexpr std::int32_t kFlushTimeoutMs = 1;
constexpr std::int32_t kPollPauseMs = 500;
// A line that never falls silent must not keep the flush going for ever; what
// is left after this many bytes fails the reply check instead.
constexpr std::int32_t kMaxFlushReads = 65536;

// Both top bits set: a status byte saying the register is busy. Such bytes may
// also precede a reply and are never part of it.
bool IsBusyStatus(unsigned char byte)
{
    return (byte & 0xC0) == 0xC0;
}

ECRString ReplyTerminator()
{
    return ECRString(ECRFrame::CLOSER);
}

}  // namespace

ECREngine::ECREngine(ECRProtocol& protocol, SerialPort* port) : m_protocol(protocol), m_port(port) {}

std::int16_t ECREngine::ReadStatus()
{
    m_port->Write(ECRString(ECRFrame::ENQ));
    const ECRString status = m_port->ReadCount(1, kStatusTimeoutMs);
    if (status.Length() != 1) {
        return 0;
    }
    return static_cast<std::int16_t>(static_cast<signed char>(status.CharAt(0)));
}

void ECREngine::SendAck()
{
    m_port->Write(ECRString(ECRFrame::ACK));
}

void ECREngine::SendNak()
{
    m_port->Write(ECRString(ECRFrame::NAK));
}

void ECREngine::ReportProgress(std::int32_t percent)
{
    if (m_progress != nullptr) {
        m_progress(percent);
    }
}

ECRString ECREngine::SendRaw(ECRString request)
{
    const ECRString frame = ReportTraffic(m_protocol.Frame(request));
    m_port->Write(frame);
    return m_protocol.Unframe(m_port->ReadUntil(ReplyTerminator(), kRawReplyTimeoutMs));
}

ECRString ECREngine::SendReceive(ECRString request, std::int32_t timeoutMs)
{
    ReportTraffic(request);
    m_port->Write(m_protocol.Frame(request));
    return m_protocol.Unframe(m_port->ReadUntil(ReplyTerminator(), timeoutMs));
}

ECRString ECREngine::Transact(ECRString command, const ECRFieldList* fields)
{
    FlushInput();
    // A command without fields may pass no list at all.
    const ECRString request = ECRFrame::AssembleRequest(command, fields != nullptr ? *fields : ECRFieldList());
    ReportTraffic(request);
    m_port->Write(m_protocol.Frame(request));
    return CheckedReply(command, m_protocol.Unframe(AwaitReply()));
}

ECRString ECREngine::TransactNoPoll(ECRString request)
{
    FlushInput();
    m_port->Write(m_protocol.Frame(request));
    return CheckedReply(request, m_protocol.Unframe(m_port->ReadUntil(ReplyTerminator(), kReplyTimeoutMs)));
}

void ECREngine::FlushInput()
{
    for (std::int32_t reads = 0; reads < kMaxFlushReads; ++reads) {
        if (m_port->ReadCount(1, kFlushTimeoutMs).Length() == 0) {
            return;
        }
    }
}

ECRString ECREngine::ReportTraffic(ECRString text)
{
    if (m_traffic != nullptr) {
        m_traffic(text);
    }
    return text;
}

ECRString ECREngine::CheckReply(ECRString command, ECRString reply)
{
    return ECRFrame::CheckReply(command, reply, m_sink);
}

ECRString ECREngine::CheckedReply(const ECRString& command, const ECRString& payload)
{
    // A reply that does not answer this command is shown, not thrown: the
    // caller gets no data and the last device error code stays as it was.
    // An empty payload (ECRStringError) is left to the caller.
    try {
        return CheckReply(command, payload);
    } catch (const CommError&) {
        ++m_mismatchedReplies;
        ReportTraffic("Exception");
        return ECRString();
    }
}

ECRString ECREngine::AwaitReply()
{
    // Nominal time spent so far without a reply: the time-outs of reads that
    // ended in silence and the polling pauses. Counted, not measured, so the
    // bound holds the same under a replaced sleep.
    std::int64_t waitedMs = 0;
    for (;;) {
        ECRString reply = m_port->ReadUntil(ReplyTerminator(), kReplyTimeoutMs);
        if (reply.Length() == 0) {
            waitedMs += kReplyTimeoutMs;
            reply = PollForReply(waitedMs);
        }
        std::uint32_t skip = 0;
        while (skip < reply.Length() && IsBusyStatus(reply.CharAt(skip))) {
            ++skip;
        }
        if (skip < reply.Length()) {
            return reply.Mid(skip);
        }
        // Nothing but status bytes, or nothing at all: the read ended in a
        // time-out. Read again without sending the request again.
        waitedMs += kReplyTimeoutMs;
        CheckWaited(waitedMs);
    }
}

ECRString ECREngine::PollForReply(std::int64_t& waitedMs)
{
    for (;;) {
        CheckWaited(waitedMs);
        m_port->Write(ECRString(ECRFrame::ENQ));
        ECRString status;
        std::int32_t silentWaits = 0;
        for (;;) {
            status = m_port->ReadCount(1, kStatusTimeoutMs);
            ECRSleep(kPollPauseMs);
            waitedMs += kPollPauseMs;
            if (status.Length() > 0) {
                break;
            }
            waitedMs += kStatusTimeoutMs;
            if (++silentWaits >= m_limits.maxSilentWaits) {
                throw CommError(CommError::Timeout);
            }
        }
        ECRSleep(kPollPauseMs);
        waitedMs += kPollPauseMs;

        const unsigned char byte = status.CharAt(0);
        if (IsBusyStatus(byte)) {
            continue;
        }
        ECRString rest = m_port->ReadUntil(ReplyTerminator(), kReplyTimeoutMs);
        if (byte == static_cast<unsigned char>(ECRFrame::ESC)) {
            // The reply itself has started: its opening ESC answered the ENQ.
            return status + rest;
        }
        return rest;
    }
}

void ECREngine::CheckWaited(std::int64_t waitedMs) const
{
    if (waitedMs > m_limits.maxBusyMilliseconds) {
        throw CommError(CommError::Timeout);
    }
}
