#include "support/FakeSerialPort.h"

#include "ecr/protocol/CommError.h"

namespace {
FakeSerialPort* s_clockPort = nullptr;
}  // namespace

FakeSerialPort::FakeSerialPort()
    : m_previousClockPort(s_clockPort), m_previousClock(SetECRClockFunction(&FakeSerialPort::Clock))
{
    s_clockPort = this;
}

FakeSerialPort::~FakeSerialPort()
{
    s_clockPort = m_previousClockPort;
    SetECRClockFunction(m_previousClock);
}

std::int64_t FakeSerialPort::Clock()
{
    return s_clockPort != nullptr ? s_clockPort->nowMs : 0;
}

void FakeSerialPort::AdvanceClock(std::int64_t milliseconds)
{
    if (s_clockPort != nullptr) {
        s_clockPort->nowMs += milliseconds;
    }
}

void FakeSerialPort::Feed(const std::string& bytes)
{
    FeedPaced(0, bytes);
}

void FakeSerialPort::FeedPaced(std::int32_t gapMs, const std::string& bytes)
{
    for (char c : bytes) {
        m_input.push_back({false, c, gapMs});
    }
}

void FakeSerialPort::FeedSilence(int reads)
{
    for (int i = 0; i < reads; ++i) {
        m_input.push_back({true, 0, 0});
    }
}

bool FakeSerialPort::Open()
{
    open = true;
    return true;
}

bool FakeSerialPort::Close()
{
    open = false;
    return true;
}

bool FakeSerialPort::Write(ECRString text)
{
    if (m_failWrite != 0 && static_cast<int>(writes.size()) + 1 == m_failWrite) {
        m_failWrite = 0;
        throw CommError(8);
    }
    std::string bytes(text.Data(), text.Length());
    writes.push_back(bytes);
    if (onWrite) {
        onWrite(bytes);
    }
    return true;
}

int FakeSerialPort::ReadByte(std::int32_t timeoutMs)
{
    Event* next = m_input.empty() ? nullptr : &m_input.front();
    if (next == nullptr || next->silence || next->delayMs > timeoutMs) {
        nowMs += timeoutMs;
        ++emptyByteReads;
        if (next != nullptr && next->silence) {
            m_input.pop_front();
        } else if (next != nullptr) {
            next->delayMs -= timeoutMs;  // still on its way
        }
        return -1;
    }
    nowMs += next->delayMs;
    const char byte = next->byte;
    m_input.pop_front();
    return static_cast<unsigned char>(byte);
}

ECRString FakeSerialPort::ReadUntil(ECRString terminator, std::int32_t timeoutMs)
{
    timeouts.push_back(timeoutMs);
    std::string result;
    const char stop = terminator.Length() > 0 ? terminator.Data()[0] : 0;
    for (;;) {
        const int byte = ReadByte(timeoutMs);
        if (byte <= 0) {  // nothing came, or a zero byte, which ends a read the same way
            break;
        }
        result.push_back(static_cast<char>(byte));
        if (static_cast<char>(byte) == stop) {
            break;
        }
    }
    reads.push_back(result);
    return ECRString(result.c_str());
}

ECRString FakeSerialPort::ReadCount(std::int32_t count, std::int32_t timeoutMs)
{
    timeouts.push_back(timeoutMs);
    std::string result;
    while (static_cast<std::int32_t>(result.size()) < count) {
        const int byte = ReadByte(timeoutMs);
        if (byte <= 0) {
            break;
        }
        result.push_back(static_cast<char>(byte));
    }
    reads.push_back(result);
    return ECRString(result.c_str());
}

bool FakeSerialPort::SetReadTimeout(std::int32_t)
{
    return true;
}
