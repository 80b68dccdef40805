#include "ecr/protocol/ECREngine.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/ECRClock.h"
#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRSleep.h"
#include "ecr/protocol/ECRStringError.h"
#include "ecr/protocol/SerialPort.h"

#include <algorithm>
#include <thread>

namespace {

constexpr std::int32_t kRawReplyTimeoutMs = 1000;
constexpr std::int32_t kFlushTimeoutMs = 1;
// A line that never falls silent must not keep the flush going for ever; what
// is left after this many bytes fails the reply check instead.
constexpr std::int32_t kMaxFlushReads = 65536;
// The drain reads in chunks so that it can stop: at most this many, each up
// to a gap or this many bytes (64 KiB in all, like the flush).
constexpr std::int32_t kMaxDrainReads = 16;
constexpr std::int32_t kDrainChunkBytes = 4096;

ECREngine::PollLimits s_defaultLimits;

ECRString ReplyTerminator()
{
    return ECRString(ECRFrame::CLOSER);
}

}  // namespace

void ECREngine::SetDefaultPollLimits(PollLimits limits)
{
    s_defaultLimits = limits;
}

ECREngine::PollLimits ECREngine::DefaultPollLimits()
{
    return s_defaultLimits;
}

ECREngine::ECREngine(ECRProtocol& protocol, SerialPort* port)
    : m_protocol(protocol), m_port(port), m_limits(s_defaultLimits)
{
}

void ECREngine::SettleLine()
{
    if (m_lineUnsettled) {
        DrainInput();
        m_lineUnsettled = false;
    }
}

template <class Exchange>
auto ECREngine::Settled(Exchange&& exchange)
{
    SettleLine();
    try {
        return exchange();
    } catch (...) {
        m_lineUnsettled = true;
        throw;
    }
}

template <class Exchange>
ECRString ECREngine::Judged(const ECRString& command, Exchange&& exchange)
{
    // Until a reply has come, an exchange that ends has had none.
    m_pending = ECRVerdict();
    m_pending.command = command;
    m_pending.code = CommError::Timeout;
    try {
        ECRString result = Settled(exchange);
        m_verdicts.Record(m_pending);
        return result;
    } catch (const CommError& error) {
        if (m_pending.kind == ECRVerdict::Kind::NoReply) {
            m_pending.code = error.code;
        }
        m_verdicts.Record(m_pending);
        throw;
    } catch (const ECRStringError&) {
        // A reply too short for its checks, or none at all (the pending
        // verdict tells which).
        m_verdicts.Record(m_pending);
        throw;
    }
}

std::int16_t ECREngine::ReadStatus()
{
    DrainInput();
    m_lineUnsettled = false;
    ECRString status;
    Judged(ECRString(ECRFrame::ENQ), [&] {
        WriteAwaitingAnswer(ECRString(ECRFrame::ENQ));
        status = m_port->ReadCount(1, m_limits.statusTimeoutMs);
        if (status.Length() == 1) {
            m_pending.kind = ECRVerdict::Kind::Unchecked;
            m_pending.code = 0;
        }
        return status;
    });
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
    return Judged(request, [&] {
        return ExchangeFrame(ReportTraffic(m_protocol.Frame(request)), kRawReplyTimeoutMs);
    });
}

ECRString ECREngine::SendReceive(ECRString request, std::int32_t timeoutMs)
{
    return Judged(request, [&] {
        ReportTraffic(request);
        return ExchangeFrame(m_protocol.Frame(request), timeoutMs);
    });
}

ECRString ECREngine::Transact(ECRString command, const ECRFieldList* fields)
{
    return Judged(command, [&] {
        // The frame is made before the flush, so that between the flush's
        // quiet millisecond and the request there is only its report.
        // A command without fields may pass no list at all.
        const ECRString request =
            ECRFrame::AssembleRequest(command, fields != nullptr ? *fields : ECRFieldList());
        const ECRString frame = m_protocol.Frame(request);
        FlushInput();
        ReportTraffic(request);
        WriteAwaitingAnswer(frame);
        return CheckedReply(command, UnframeReply(AwaitReply()));
    });
}

ECRString ECREngine::TransactNoPoll(ECRString request)
{
    return Judged(request, [&] {
        const ECRString frame = m_protocol.Frame(request);
        FlushInput();
        WriteAwaitingAnswer(frame);
        return CheckedReply(request, UnframeReply(m_port->ReadUntil(ReplyTerminator(), m_limits.replyTimeoutMs)));
    });
}

void ECREngine::FlushInput()
{
    m_port->PurgeInput();
    for (std::int32_t reads = 0; reads < kMaxFlushReads; ++reads) {
        if (m_port->ReadCount(1, kFlushTimeoutMs).Length() == 0) {
            return;
        }
    }
}

std::int32_t ECREngine::DrainGapMs(std::int32_t baud)
{
    // Ten bytes of ten bits at baud bits a second, in milliseconds.
    constexpr std::int32_t kTenBytesMsBaud = 10 * 10 * 1000;
    // A read that ends at once (a zero byte) lasts under 2 ms on the clock;
    // the drain takes a read of at least half the gap for a quiet line.
    constexpr std::int32_t kLeastGapMs = 4;
    return std::max(kLeastGapMs, kTenBytesMsBaud / std::max(baud, 1));
}

void ECREngine::DrainInput()
{
    std::int32_t quietMs =
        m_limits.lineBaud > 0 ? std::min(m_limits.quietMs, DrainGapMs(m_limits.lineBaud)) : m_limits.quietMs;
    for (std::int32_t reads = 0; reads < kMaxDrainReads; ++reads) {
        const std::int64_t startMs = ECRClockMs();
        const ECRString drained = m_port->ReadCount(kDrainChunkBytes, quietMs);
        // A zero byte also ends a read with nothing, but at once: only a read
        // that waited out the quiet time found the line quiet.
        if (drained.Length() == 0 && ECRClockMs() - startMs >= quietMs / 2) {
            return;
        }
        // Something is coming: the line is quiet again only after quietMs.
        quietMs = m_limits.quietMs;
    }
}

ECRString ECREngine::ExchangeFrame(const ECRString& frame, std::int32_t timeoutMs)
{
    WriteAwaitingAnswer(frame);
    const ECRString reply = m_port->ReadUntil(ReplyTerminator(), timeoutMs);
    // No answer in time: it may still come, and must not answer the next request.
    m_lineUnsettled = reply.Length() == 0;
    const ECRString payload = UnframeReply(reply);
    if (reply.Length() != 0) {
        m_pending.kind = ECRVerdict::Kind::Unchecked;
        m_pending.code = 0;
    }
    return payload;
}

ECRString ECREngine::UnframeReply(const ECRString& reply)
{
    if (reply.Length() == 0) {
        return m_protocol.Unframe(reply);  // nothing came: the verdict stays "no reply"
    }
    // Something came: from here on a failure is a failed check, not a lost reply.
    m_pending.kind = ECRVerdict::Kind::FailedCheck;
    m_pending.code = 0;
    m_pending.check = reply.Length() < 4 ? ECRVerdict::Check::FrameLength : ECRVerdict::Check::Checksum;
    const ECRString payload = m_protocol.Unframe(reply);
    // A payload that passed the frame's tests must still pass the reply's.
    m_pending.check = ECRVerdict::Check::ReplyLength;
    return payload;
}

void ECREngine::WriteAwaitingAnswer(const ECRString& bytes)
{
    m_port->Write(bytes);
    if (m_wait != nullptr) {
        // The request was only handed to the system: on a pseudo-terminal
        // (the simulated register) a kernel worker passes it on, and it
        // would wait for the caller's work to end. So it goes first.
        std::this_thread::yield();
        m_wait();
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
    // An empty payload (ECRStringError) is left to the caller; when it came
    // from an empty read, the verdict stays "no reply".
    ECRVerdict* const verdict = m_pending.kind == ECRVerdict::Kind::NoReply ? nullptr : &m_pending;
    try {
        return ECRFrame::CheckReply(command, payload, m_sink, verdict);
    } catch (const CommError&) {
        m_lineUnsettled = true;
        ReportTraffic("Exception");
        return ECRString();
    }
}

ECRString ECREngine::AwaitReply()
{
    ReplyWait wait;
    wait.startMs = ECRClockMs();
    for (;;) {
        ECRString reply = m_port->ReadUntil(ReplyTerminator(), m_limits.replyTimeoutMs);
        if (reply.Length() == 0) {
            wait.countedMs += m_limits.replyTimeoutMs;
            reply = PollForReply(wait);
        }
        const auto skip = static_cast<std::uint32_t>(ECRFrame::LeadingBusyBytes({reply.Data(), reply.Length()}));
        if (skip < reply.Length()) {
            return reply.Mid(skip);
        }
        // Nothing but status bytes, or nothing at all: the read ended in a
        // time-out. Read again without sending the request again.
        wait.countedMs += m_limits.replyTimeoutMs;
        CheckWaited(wait);
    }
}

ECRString ECREngine::PollForReply(ReplyWait& wait)
{
    const auto pause = [&] {
        ECRSleep(m_limits.pollPauseMs);
        wait.countedMs += m_limits.pollPauseMs;
    };
    for (;;) {
        CheckWaited(wait);
        WriteAwaitingAnswer(ECRString(ECRFrame::ENQ));
        ECRString status;
        std::int32_t silentWaits = 0;
        for (;;) {
            status = m_port->ReadCount(1, m_limits.statusTimeoutMs);
            pause();
            if (status.Length() > 0) {
                break;
            }
            wait.countedMs += m_limits.statusTimeoutMs;
            if (++silentWaits >= m_limits.maxSilentWaits) {
                throw CommError(CommError::Timeout);
            }
            CheckWaited(wait);
        }
        pause();

        const unsigned char byte = status.CharAt(0);
        if (ECRFrame::IsBusyStatus(byte)) {
            wait.readyWithoutReply = 0;
            continue;
        }
        ECRString rest = m_port->ReadUntil(ReplyTerminator(), m_limits.replyTimeoutMs);
        if (byte == static_cast<unsigned char>(ECRFrame::ESC)) {
            // The reply itself has started: its opening ESC answered the ENQ.
            return status + rest;
        }
        if (ECRFrame::LeadingBusyBytes({rest.Data(), rest.Length()}) == rest.Length() && ++wait.readyWithoutReply >= m_limits.maxReadyWithoutReply) {
            // Ready, and still no reply: the register has lost it.
            throw CommError(CommError::Timeout);
        }
        return rest;
    }
}

void ECREngine::CheckWaited(const ReplyWait& wait) const
{
    if (wait.countedMs > m_limits.maxBusyMilliseconds || ECRClockMs() - wait.startMs > m_limits.maxBusyMilliseconds) {
        throw CommError(CommError::Timeout);
    }
}
