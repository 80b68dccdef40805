#include "cli/CliSession.h"

#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRTrafficDecoder.h"
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
    if (!m_options.log.empty()) {
        std::string error;
        if (!m_trace.OpenLog(m_options.log, "ecrctl", error))
            throw CliFailure(CliFailure::kBadInput, "no session log: " + error);
    }
    int portNumber = 0;
    if (m_options.port == "sim") {
#ifndef THERMAL_SIM_HOST
        throw CliFailure(CliFailure::kLink, "the simulated register is not available in this build");
#else
        SimulatorHost::Options simOptions;
        simOptions.journalPath = m_options.journal;
        simOptions.baudRate = m_options.simulatorBaud;
        m_simulator = std::make_unique<SimulatorHost>(simOptions);
        std::string error;
        if (!m_simulator->Start(&error))
            throw CliFailure(CliFailure::kLink, "cannot start the simulated register: " + error);
        portNumber = PortNumberFor(m_simulator->DevicePath());
#endif
    } else {
        portNumber = PortNumberFor(m_options.port);
    }

    // 8 data bits, no parity, one stop bit, no flow control, DTR off.
    m_port = std::make_unique<Win32SerialPort>(SerialSettings(portNumber, m_options.baud, 8, 0, 0, 0, 0));
    g_pActiveSession = this;
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

int CliSession::PortNumberFor(const std::string& port)
{
    if (const auto number = ComPortMap::PortNumber(port))
        return *number;
    if (port.find('/') == std::string::npos)
        throw CliFailure(CliFailure::kUsage, "--port takes a COM port (COM1, COM12), a device path or sim, not " + port);
#ifdef _WIN32
    // Windows opens its COM ports by name only; a path would quietly open no port at all.
    throw CliFailure(CliFailure::kUsage, "on Windows --port takes a COM port (COM1, COM12), not " + port);
#else
    ComPortMap::SetDevicePath(kDevicePathPort, port);
    return kDevicePathPort;
#endif
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
        throw CliFailure(CliFailure::kLink, "the register's answer failed its check: " +
                                                std::string(CommErrorText(CommError::Sync).Data()));
}

CliFailure CliSession::Refusal(std::int32_t code)
{
    return CliFailure(CliFailure::kRefused,
                      "the register refused: " + ECRCodePage::ToUtf8(DeviceMessageText(code)) + " (code " +
                          std::to_string(code) + ")",
                      code);
}

void CliSession::LogOutcome(int exitCode, const std::string& error)
{
    m_trace.Note("ecrctl ended with exit code " + std::to_string(exitCode) + (error.empty() ? "" : ": " + error));
}

void CliSession::LogNote(const std::string& text)
{
    m_trace.Note(text);
    ReportLogFailure();
}

void CliSession::Trace(ECRTrafficDirection direction, const ECRString& text)
{
    const std::string_view bytes(text.Data(), text.Length());
    if (m_options.trace && !m_options.traceDecoded) {
        m_output.EndProgress();
        m_output.Err() << ECRTrafficText::Entry(bytes) << '\n';
    }
    // Decoding costs only when someone reads the result.
    if (!m_options.traceDecoded && !m_trace.Log().IsOpen())
        return;
    const std::string line = m_trace.Traffic(direction, bytes);
    // The empty read that ends every input flush says nothing about a frame.
    if (m_options.traceDecoded && !bytes.empty()) {
        m_output.EndProgress();
        m_output.Err() << line << '\n';
    }
    ReportLogFailure();
}

void CliSession::ReportLogFailure()
{
    const std::string failure = m_trace.TakeLogFailure();
    if (!failure.empty())
        m_output.Note("the session log stopped: " + failure);
}

void CliSession::OnRequest(ECRString text)
{
    if (g_pActiveSession == nullptr)
        return;
    g_pActiveSession->Trace(ECRTrafficDecoder::EngineDirection(text.Data()), text);
}

void CliSession::OnRead(ECRString text)
{
    if (g_pActiveSession != nullptr)
        g_pActiveSession->Trace(ECRTrafficDirection::FromRegister, text);
}

void CliSession::OnMessage(ECRString text)
{
    if (g_pActiveSession == nullptr)
        return;
    CliSession& session = *g_pActiveSession;
    session.m_trace.Message(std::string_view(text.Data(), text.Length()));
    session.ReportLogFailure();
    // A decoded reply already carries the register's message.
    if (session.m_options.trace && !session.m_options.traceDecoded) {
        session.m_output.EndProgress();
        session.m_output.Err() << "poruka: " << ECRCodePage::ToUtf8(std::string_view(text.Data(), text.Length())) << '\n';
    }
}

void CliSession::OnProgress(std::int32_t percent)
{
    if (g_pActiveSession != nullptr && g_pActiveSession->m_progressObserver)
        g_pActiveSession->m_progressObserver(percent);
}
