#include "TestProtocol.h"

#include "ecr/protocol/ECRFrame.h"

TestProtocol::TestProtocol() : engine(*this, &port) {}

ECRString TestProtocol::Checksum(ECRString payload)
{
    return ECRFrame::Checksum(payload);
}

ECRString TestProtocol::Frame(ECRString payload)
{
    return ECRFrame::Frame(payload, [this](ECRString text) { return Checksum(text); });
}

ECRString TestProtocol::Unframe(ECRString frame)
{
    return ECRFrame::Unframe(frame, [this](ECRString text) { return Checksum(text); });
}

std::int16_t TestProtocol::ReadStatus()
{
    return engine.ReadStatus();
}

void TestProtocol::SendAck()
{
    engine.SendAck();
}

void TestProtocol::SendNak()
{
    engine.SendNak();
}

void TestProtocol::ReportProgress(std::int32_t percent)
{
    engine.ReportProgress(percent);
}

ECRString TestProtocol::SendRaw(ECRString request)
{
    return engine.SendRaw(request);
}

ECRString TestProtocol::SendReceive(ECRString request, std::int32_t timeoutMs)
{
    return engine.SendReceive(request, timeoutMs);
}

ECRString TestProtocol::Transact(ECRString command, const ECRFieldList* fields)
{
    return engine.Transact(command, fields);
}

ECRString TestProtocol::TransactNoPoll(ECRString request)
{
    return engine.TransactNoPoll(request);
}
