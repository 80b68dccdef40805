#include "sim/ECRSimulator.h"

#include "ecr/protocol/DeviceCode.h"
#include "ecr/protocol/ECRFrame.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {
// Commands that put something on paper: refused while the paper is out.
const std::set<std::string> kPaperCommands{"#v", "#z", "#o", "#w", "#k", "#g", "#l", "#e",
                                           "*t", "*l", "*s", "*e", "*x"};

// Programming and reports wait until the open receipt is closed.
const std::set<std::string> kRefusedDuringSale{"#v", "#c", "#t", "#z", "#o", "#w", "#u", "#k", "#h",
                                               "%a", "#d", "#r", "#i", "#y", "#l", "#e", "#n", "#g"};
}  // namespace

ECRSimulator::ECRSimulator(Clock clock, std::int64_t localSecondsAtZero) : m_clock(std::move(clock))
{
    m_state.clock = SimClock(localSecondsAtZero);
}

void ECRSimulator::SetFaults(const SimFaults& faults)
{
    m_faults = faults;
    m_repliesSinceFaults = 0;
    m_dropCommandsSeen = 0;
    m_inbound.SetBaudRate(faults.baudRate);
    m_line.SetBaudRate(faults.baudRate);
}

bool ECRSimulator::Busy() const
{
    return m_clock() < m_busyUntil;
}

void ECRSimulator::Receive(std::string_view bytes)
{
    const std::int64_t now = m_clock();
    m_inbound.Queue(now, std::string(bytes));
    TakeReceived(now);
}

std::string ECRSimulator::TakeOutput()
{
    const std::int64_t now = m_clock();
    TakeReceived(now);
    std::string out = m_line.TakeDue(now);
    m_bytesSent += out.size();
    return out;
}

std::optional<std::int64_t> ECRSimulator::NextOutputTime() const
{
    const auto in = m_inbound.NextDue();
    const auto out = m_line.NextDue();
    if (in && out) {
        return std::min(*in, *out);
    }
    return in ? in : out;
}

void ECRSimulator::TakeReceived(std::int64_t now)
{
    for (const auto& [at, byte] : m_inbound.TakeDueTimed(now)) {
        ++m_bytesReceived;
        Accept(byte, at);
    }
}

// A byte that is through. The register acts at the time the byte arrived,
// not when it got round to it, so the reply's timing does not depend on how
// promptly the host serves the line.
void ECRSimulator::Accept(char byte, std::int64_t at)
{
    const auto event = m_reader.Push(byte);
    if (!event) {
        return;
    }
    if (event->kind == SimFrameReader::Event::Kind::Enq) {
        if (!m_faults.silentToEnq) {
            m_line.Queue(at, std::string(1, at < m_busyUntil ? kBusy : kReady));
        }
        return;
    }
    if (m_requests.size() >= kMaxRequestsKept) {
        m_requests.erase(m_requests.begin(), m_requests.begin() + kMaxRequestsKept / 2);
    }
    m_requests.push_back(event->payload);
    const bool lost = LosesReplyTo(event->payload);
    SendReply(Answer(*event, at), at, lost);
}

SimOutcome ECRSimulator::Answer(const SimFrameReader::Event& frame, std::int64_t now)
{
    const std::string& payload = frame.payload;
    if (!frame.checksumOk) {
        return SimOutcome::Refuse(payload, DeviceCode::ChecksumError);
    }
    if (payload.size() < 2) {
        return SimOutcome::Refuse(payload, DeviceCode::UnknownCommand);
    }
    return Dispatch(payload.substr(0, 2), payload.substr(2), now);
}

SimOutcome ECRSimulator::Dispatch(const std::string& command, const std::string& body, std::int64_t now)
{
    if (m_state.transaction && kRefusedDuringSale.count(command) != 0) {
        return SimOutcome::Refuse(command, DeviceCode::ReceiptAlreadyOpen);
    }
    if (m_faults.paperOut && kPaperCommands.count(command) != 0) {
        return SimOutcome::Refuse(command, DeviceCode::PaperOut);
    }
    if (auto outcome = m_fiscal.Handle(command, body, now)) {
        return *outcome;
    }
    if (auto outcome = m_sale.Handle(command, body, now)) {
        return *outcome;
    }
    if (auto outcome = m_device.Handle(command, body, now)) {
        return *outcome;
    }
    return SimOutcome::Refuse(command, DeviceCode::UnknownCommand);
}

bool ECRSimulator::LosesReplyTo(const std::string& payload)
{
    const std::string& command = m_faults.dropReplyAt;
    if (command.empty() || payload.compare(0, command.size(), command) != 0) {
        return false;
    }
    return ++m_dropCommandsSeen == m_faults.dropReplyAtCount;
}

void ECRSimulator::SendReply(const SimOutcome& outcome, std::int64_t now, bool lost)
{
    // Work queues behind work already going on; the reply follows the work.
    const std::int64_t start = std::max(now, m_busyUntil);
    const std::int64_t work =
        static_cast<std::int64_t>(m_faults.busyMs) * 1000 + (outcome.printing ? std::int64_t{m_printMs} * 1000 : 0);
    m_busyUntil = start + work;
    const std::int64_t ready = m_busyUntil + static_cast<std::int64_t>(m_faults.replyDelayMs) * 1000;

    const std::int64_t count = ++m_repliesSinceFaults;
    if (lost || Hits(m_faults.dropReplyEvery, count)) {
        return;
    }
    std::string bytes(static_cast<std::size_t>(std::max(0, m_faults.statusBytesBeforeReply)), kBusy);
    bytes += m_faults.garbageBeforeReply;
    bytes += Frame(outcome.payload, Hits(m_faults.wrongLetterEvery, count), Hits(m_faults.badChecksumEvery, count));
    bytes += m_faults.staleAfterReply;
    m_line.Queue(ready, std::move(bytes));
}

std::string ECRSimulator::Frame(std::string payload, bool wrongLetter, bool badChecksum) const
{
    if (wrongLetter && payload.size() >= 2) {
        // A letter that answers neither this command nor a device error.
        const char letter = static_cast<char>(payload[2 < payload.size() && payload[1] == 'Z' ? 2 : 1] | 0x20);
        payload[1] = letter == 'w' ? 'Y' : 'W';
    }
    const ECRString digits = ECRFrame::Checksum(ECRString(payload.c_str()));
    std::string checksum(digits.Data(), digits.Length());
    if (badChecksum) {
        const unsigned value = static_cast<unsigned>(std::stoul(checksum, nullptr, 16)) ^ 0x5A;
        char wrong[3];
        std::snprintf(wrong, sizeof wrong, "%02X", value);
        checksum = wrong;
    }
    std::string frame;
    frame += ECRFrame::ESC;
    frame += ECRFrame::OPENER;
    frame += payload;
    frame += checksum;
    frame += ECRFrame::ESC;
    frame += ECRFrame::CLOSER;
    return frame;
}
