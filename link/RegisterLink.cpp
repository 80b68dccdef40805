#include "link/RegisterLink.h"

#include "ecr/protocol/CommError.h"
#include "serial/platform/SystemError.h"

SerialSettings RegisterLink::Settings(int baud, int portNumber)
{
    // Parity, stop bits, flow control and DTR all 0: none, one, off, off.
    return SerialSettings(portNumber, baud, 8, 0, 0, 0, 0);
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
    m_port = std::make_unique<Win32SerialPort>(settings, address.DeviceName());
    // Before the port opens, so that it reports every read.
    m_port->SetTrafficCallback(reports.reads);
    try {
        m_port->Open();
        m_device = std::make_unique<ECRDevice>(m_port.get());
        m_device->SetMessageCallback(reports.messages);
        m_device->SetTrafficCallback(reports.requests);
        m_device->SetProgressCallback(reports.progress);
        m_device->SetWaitCallback(reports.awaitingAnswer);
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

std::string RegisterLink::OpenFailure() const
{
    if (m_port == nullptr || m_port->OpenFailure() == 0) {
        return "";
    }
    return SystemError::Text(m_port->OpenFailure());
}
