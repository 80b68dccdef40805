#include "cli/CliSession.h"

#include "cli/Cp1250.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/ECRTrafficText.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "serial/Win32SerialPort.h"
#include "serial/platform/ComPortMap.h"
#ifdef THERMAL_SIM_HOST
#include "sim/SimulatorHost.h"
#endif

namespace {

// The callbacks are plain function pointers, so they find the run through this.
CliSession* g_pActiveSession = nullptr;
bool g_bTrace = false;

}  // namespace

CliSession::CliSession(const CliOptions& options, CliOutput& output) : m_options(options), m_output(output) {}

CliSession::~CliSession()
{
    if (g_pActiveSession == this)
        g_pActiveSession = nullptr;
    // The device goes before the port it uses, the port before the simulator it talks to.
    m_device.reset();
    m_port.reset();
#ifdef THERMAL_SIM_HOST
    m_simulator.reset();
#endif
}

void CliSession::Open()
{
    std::string devicePath;
    int portNumber = 0;
    if (m_options.port == "sim") {
#ifndef THERMAL_SIM_HOST
        throw CliFailure(CliFailure::kLink, "the simulated register is not available in this build");
#else
        SimulatorHost::Options simOptions;
        simOptions.journalPath = m_options.journal;
        m_simulator = std::make_unique<SimulatorHost>(simOptions);
        std::string error;
        if (!m_simulator->Start(&error))
            throw CliFailure(CliFailure::kLink, "cannot start the simulated register: " + error);
        devicePath = m_simulator->DevicePath();
#endif
    } else if (const auto number = ComPortMap::PortNumber(m_options.port)) {
        portNumber = *number;
    } else if (!m_options.port.empty() && m_options.port.find('/') != std::string::npos) {
#ifdef _WIN32
        // Windows opens its COM ports by name only; a path would quietly open no port at all.
        throw CliFailure(CliFailure::kUsage, "on Windows --port takes a COM port (COM1, COM12), not " + m_options.port);
#else
        devicePath = m_options.port;
#endif
    } else {
        throw CliFailure(CliFailure::kUsage, "--port takes COM1..COM8, a device path or sim, not " + m_options.port);
    }
    if (!devicePath.empty()) {
        portNumber = kDevicePathPort;
        ComPortMap::SetDevicePath(portNumber, devicePath);
    }

    // 8 data bits, no parity, one stop bit, no flow control, DTR off.
    m_port = std::make_unique<Win32SerialPort>(SerialSettings(portNumber, m_options.baud, 8, 0, 0, 0, 0));
    g_pActiveSession = this;
    g_bTrace = m_options.trace;
    m_port->SetTrafficCallback(&CliSession::OnRead);
    m_port->Open();

    m_device = std::make_unique<ECRDevice>(m_port.get());
    m_device->SetTrafficCallback(&CliSession::OnRequest);
    m_device->SetMessageCallback(&CliSession::OnMessage);
    m_device->SetProgressCallback(&CliSession::OnProgress);

    m_status = m_device->ReadStatus();
    if (m_status == 0)
        throw CliFailure(CliFailure::kLink, "the register does not answer on " + m_options.port);
}

void CliSession::ThrowIfFailed(std::uint64_t mismatchedBefore)
{
    const std::int32_t code = ECRProtocol::LastErrorCode();
    if (code != 0)
        throw Refusal(code);
    ThrowIfMismatched(mismatchedBefore);
}

void CliSession::ThrowIfMismatched(std::uint64_t mismatchedBefore)
{
    if (MismatchedReplies() != mismatchedBefore)
        throw CliFailure(CliFailure::kLink, "the register's answer did not match the command: " +
                                                std::string(CommErrorText(16).Data()));
}

CliFailure CliSession::Refusal(std::int32_t code)
{
    return CliFailure(CliFailure::kRefused,
                      "the register refused: " + Cp1250::ToUtf8(DeviceMessageText(code)) + " (code " +
                          std::to_string(code) + ")",
                      code);
}

void CliSession::OnRequest(ECRString text)
{
    if (g_pActiveSession == nullptr)
        return;
    if (g_bTrace) {
        g_pActiveSession->m_output.EndProgress();
        g_pActiveSession->m_output.Err() << ECRTrafficText::Entry(std::string_view(text.Data(), text.Length()))
                                       << '\n';
    }
    if (g_pActiveSession->m_requestObserver)
        g_pActiveSession->m_requestObserver(text);
}

void CliSession::OnRead(ECRString text)
{
    if (g_pActiveSession != nullptr && g_bTrace) {
        g_pActiveSession->m_output.EndProgress();
        g_pActiveSession->m_output.Err() << ECRTrafficText::Entry(std::string_view(text.Data(), text.Length()))
                                       << '\n';
    }
}

void CliSession::OnMessage(ECRString text)
{
    if (g_pActiveSession != nullptr && g_bTrace) {
        g_pActiveSession->m_output.EndProgress();
        g_pActiveSession->m_output.Err() << "poruka: " << Cp1250::ToUtf8(std::string(text.Data(), text.Length()))
                                         << '\n';
    }
}

void CliSession::OnProgress(std::int32_t percent)
{
    if (g_pActiveSession != nullptr && g_pActiveSession->m_progressObserver)
        g_pActiveSession->m_progressObserver(percent);
}
