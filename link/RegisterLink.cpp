#include "link/RegisterLink.h"

#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "serial/NetworkPort.h"
#include "serial/Win32SerialPort.h"

SerialSettings RegisterLink::Settings(int baud, int portNumber)
{
    // Parity, stop bits, flow control and DTR all 0: none, one, off, off.
    return SerialSettings(portNumber, baud, 8, 0, 0, 0, 0);
}

std::unique_ptr<SerialPort> RegisterLink::MakePort(const PortAddress& address, const SerialSettings& settings,
                                                   const ECRTextCallback& reads)
{
    if (address.IsNetwork())
        return MakeNetworkPort(address, settings, reads);
    auto port = std::make_unique<Win32SerialPort>(settings, address.DeviceName());
    port->SetTrafficCallback(reads);
    return port;
}

std::unique_ptr<NetworkPort> RegisterLink::MakeNetworkPort(const PortAddress& address, const SerialSettings& settings,
                                                           const ECRTextCallback& reads)
{
    const auto protocol =
        address.GetKind() == PortAddress::Kind::Rfc2217 ? NetworkPort::Protocol::Rfc2217 : NetworkPort::Protocol::Raw;
    auto port = std::make_unique<NetworkPort>(settings, address.Host(), address.NetworkPort(), protocol);
    port->SetTrafficCallback(reads);
    return port;
}

RegisterLink::~RegisterLink()
{
    Release();
}

void RegisterLink::Release()
{
    // The device holds a pointer to the port.
    m_device.reset();
    m_port.reset();
    m_status = 0;
}

bool RegisterLink::Open(const PortAddress& address, const SerialSettings& settings, const Reports& reports)
{
    Release();
    m_address = address;
    // Reporting its reads before it opens, so that it reports every one.
    m_port = MakePort(address, settings, reports.reads);
    try {
        m_port->Open();
        m_device = std::make_unique<ECRDevice>(m_port.get());
        m_device->SetMissingFields(m_missingFields);
        m_device->SetMessageCallback(reports.messages);
        m_device->SetTrafficCallback(reports.requests);
        m_device->SetProgressCallback(reports.progress);
        m_device->SetWaitCallback(reports.awaitingAnswer);
        // The line's speed sets how long the log-on's drain waits for a quiet line.
        ECREngine::PollLimits limits = m_device->Engine().GetPollLimits();
        limits.lineBaud = settings.BaudRate();
        m_device->Engine().SetPollLimits(limits);
        m_status = m_device->ReadStatus();
    } catch (const CommError&) {
        // A port that opened but could not be configured is still held.
        m_port->Close();
        throw;
    }
    if (m_status == 0) {
        m_port->Close();
        return false;
    }
    return true;
}

std::string RegisterLink::Describe(const CommError& error) const
{
    const std::string step(CommErrorText(error.code).Data());
    const std::string reason = Problem();
    return reason.empty() ? step : reason + " (" + step + ")";
}
