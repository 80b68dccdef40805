#include "ecr/commands/ECRDevice.h"

#include "ecr/protocol/ECRFrame.h"
#include "ecr/protocol/ECRMessageSink.h"

ECRDevice::ECRDevice(SerialPort* port) : m_engine(static_cast<ECRFiscalCommands&>(*this), port)
{
    ECRMessageSink::ResetLastCode();
}

ECRDevice::~ECRDevice() = default;

ECRString ECRDevice::Checksum(ECRString payload)
{
    return ECRFrame::Checksum(payload);
}

ECRString ECRDevice::Frame(ECRString payload)
{
    return ECRFrame::Frame(payload, [this](ECRString text) { return Checksum(text); });
}

ECRString ECRDevice::Unframe(ECRString frame)
{
    return ECRFrame::Unframe(frame, [this](ECRString text) { return Checksum(text); });
}

std::int16_t ECRDevice::ReadStatus()
{
    return m_engine.ReadStatus();
}

void ECRDevice::SendAck()
{
    m_engine.SendAck();
}

void ECRDevice::SendNak()
{
    m_engine.SendNak();
}

void ECRDevice::ReportProgress(std::int32_t percent)
{
    m_engine.ReportProgress(percent);
}

ECRString ECRDevice::SendRaw(ECRString request)
{
    return m_engine.SendRaw(request);
}

ECRString ECRDevice::SendReceive(ECRString request, std::int32_t timeoutMs)
{
    return m_engine.SendReceive(request, timeoutMs);
}

ECRString ECRDevice::Transact(ECRString command, const ECRFieldList* fields)
{
    return m_engine.Transact(command, fields);
}

ECRString ECRDevice::TransactNoPoll(ECRString request)
{
    return m_engine.TransactNoPoll(request);
}

void ECRDevice::SetTrafficCallback(ECRTextCallback callback)
{
    m_engine.SetTrafficCallback(callback);
}

void ECRDevice::SetProgressCallback(ECRProgressCallback callback)
{
    m_engine.SetProgressCallback(callback);
}

void ECRDevice::SetMessageCallback(ECRTextCallback callback)
{
    m_engine.SetMessageCallback(callback);
}

void ECRDevice::SetWaitCallback(ECRWaitCallback callback)
{
    m_engine.SetWaitCallback(callback);
}
