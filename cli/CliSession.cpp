#include "cli/CliSession.h"

#include "ecr/commands/AppendTarget.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRTrafficDecoder.h"
#include "ecr/protocol/CommError.h"
#include "ecr/protocol/CommErrorText.h"
#include "ecr/protocol/DeviceMessageText.h"
#include "ecr/protocol/ECRTrafficText.h"
#include "link/ComPortMap.h"

CliSession::CliSession(const CliOptions& options, CliOutput& output) : m_options(options), m_output(output) {}

CliSession::~CliSession()
{
    // The link goes before the simulator it talks to (the target's).
    m_link.Release();
}

void CliSession::Open()
{
    if (!m_options.log.empty()) {
        std::string error;
        if (!m_trace.OpenLog(m_options.log, "ecrctl", error))
            throw CliFailure(CliFailure::kBadInput, "no session log: " + error);
    }
    if (m_options.port == LinkTarget::kSimulator && !m_options.journal.empty() && m_options.journal != "-") {
        std::string journalFault;
        if (!AppendTarget::Check(m_options.journal, journalFault))
            throw CliFailure(CliFailure::kBadInput, "no journal: " + journalFault);
    }
    LinkTarget::SimulatorOptions simulator;
    simulator.journalPath = m_options.journal;
    simulator.baudRate = m_options.simulatorBaud;
    std::string error;
    switch (m_target.Resolve(m_options.port, simulator, error)) {
    case LinkTarget::Problem::None: break;
    case LinkTarget::Problem::BadName: throw BadPortName(m_options.port);
    case LinkTarget::Problem::NoSimulator:
        throw CliFailure(CliFailure::kLink, "the simulated register is not available in this build");
    case LinkTarget::Problem::SimulatorFailed:
        throw CliFailure(CliFailure::kLink, "cannot start the simulated register: " + error);
    }
    const PortAddress& address = *m_target.Address();

    RegisterLink::Reports reports;
    reports.requests = [this](ECRString text) { Trace(ECRTrafficDecoder::EngineDirection(text.Data()), text); };
    reports.reads = [this](ECRString text) { Trace(ECRTrafficDirection::FromRegister, text); };
    reports.messages = [this](ECRString text) { Message(text); };
    reports.progress = [this](std::int32_t percent) {
        if (m_progressObserver)
            m_progressObserver(percent);
    };
    if (!m_link.Open(address, RegisterLink::Settings(m_options.baud, address.ComNumber()), reports))
        throw CliFailure(CliFailure::kLink, "the register does not answer on " + m_options.port);
}

PortAddress CliSession::AddressOf(const std::string& port)
{
    if (const std::optional<PortAddress> address = ComPortMap().Resolve(port))
        return *address;
    throw BadPortName(port);
}

CliFailure CliSession::BadPortName(const std::string& port)
{
    if (PortAddress::ParseNetwork(port))
        return CliFailure(CliFailure::kUsage, "--port " + port + ": a device server is named tcp://HOST:PORT or "
                                              "rfc2217://HOST:PORT (an IPv6 address in brackets)");
#ifdef _WIN32
    // Windows opens its COM ports by name only; a path would quietly open no port at all.
    return CliFailure(CliFailure::kUsage, "on Windows --port takes a COM port (COM1, COM12) or a device server "
                                          "(tcp://HOST:PORT, rfc2217://HOST:PORT), not " + port);
#else
    return CliFailure(CliFailure::kUsage, "--port takes a COM port (COM1, COM12), a device path, a device server "
                                          "(tcp://HOST:PORT, rfc2217://HOST:PORT) or sim, not " + port);
#endif
}

void CliSession::ThrowIfNotAccepted(const ECRVerdictWatch& watch)
{
    const std::optional<ECRVerdict>& failed = watch.FirstNotAccepted();
    if (!failed)
        return;
    if (failed->kind == ECRVerdict::Kind::Refused)
        throw Refusal(failed->code);
    throw FailedCheck(*failed);
}

void CliSession::ThrowIfAnyFailedCheck(const ECRVerdictWatch& watch)
{
    if (const std::optional<ECRVerdict>& failed = watch.FirstOf(ECRVerdict::Kind::FailedCheck))
        throw FailedCheck(*failed);
}

CliFailure CliSession::FailedCheck(const ECRVerdict& verdict)
{
    std::string what = "the register's answer failed its check";
    if (verdict.check != ECRVerdict::Check::None)
        what += " (" + std::string(ECRVerdict::CheckName(verdict.check)) + ")";
    return CliFailure(CliFailure::kLink, what + ": " + std::string(CommErrorText(CommError::Sync).Data()));
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

void CliSession::Message(const ECRString& text)
{
    m_trace.Message(std::string_view(text.Data(), text.Length()));
    ReportLogFailure();
    // A decoded reply already carries the register's message.
    if (m_options.trace && !m_options.traceDecoded) {
        m_output.EndProgress();
        m_output.Err() << "poruka: " << ECRCodePage::ToUtf8(std::string_view(text.Data(), text.Length())) << '\n';
    }
}
