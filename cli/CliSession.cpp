#include "cli/CliSession.h"

#include "ecr/commands/AppendTarget.h"
#include "ecr/commands/ECRCodePage.h"
#include "ecr/commands/ECRFieldReader.h"
#include "ecr/commands/ECRReplyError.h"
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
    // With --json standard output holds the JSON document alone.
    if (m_options.journal == "-")
        simulator.journalStream = m_options.json ? stderr : stdout;
    else
        simulator.journalPath = m_options.journal;
    simulator.baudRate = m_options.simulatorBaud;
    std::string error;
    switch (m_target.Resolve(m_options.port, simulator, error)) {
    case LinkTarget::Problem::None: break;
    case LinkTarget::Problem::BadName: throw BadPortName(m_options.port, m_options.portGiven);
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
    // What ecrctl prints feeds scripts and backups: a value the reply does
    // not hold is no value of the register's.
    m_link.SetMissingFields(ECRMissingFields::Fail);
    bool answered = false;
    try {
        answered = m_link.Open(address, RegisterLink::Settings(m_options.baud, address.ComNumber()), reports);
    } catch (const CommError& error) {
        const bool opening = error.code == CommError::OpenFailed || error.code == CommError::ReadSettingsFailed ||
                             error.code == CommError::ApplySettingsFailed;
        if (!opening)
            throw;
        // The design's text names only the step; the user needs the device and why.
        throw CliFailure(CliFailure::kLink,
                         "cannot open " + PortText() + ": " + m_link.Describe(error) + DoctorAdvice());
    }
    if (!answered)
        throw CliFailure(CliFailure::kLink, "the register does not answer on " + PortText() + DoctorAdvice());
}

std::string CliSession::PortText() const
{
#ifdef _WIN32
    // The COM name is the device.
    return m_options.port;
#else
    const std::optional<PortAddress>& address = m_link.Address();
    if (!address)
        return m_options.port;
    const std::string device = address->GetKind() == PortAddress::Kind::ComPort
                                   ? ComPortMap().DevicePath(address->ComNumber())
                                   : address->Text();
    return device.empty() || device == m_options.port ? m_options.port : m_options.port + " (" + device + ")";
#endif
}

std::string CliSession::DoctorAdvice() const
{
    if (m_options.port == "sim")
        return "";
    return "; `ecrctl doctor --port " + m_options.port + "` looks for what is wrong with the line";
}

std::string CliSession::Describe(const ECRReplyError& error) const
{
    std::string request;
    if (ECRDevice* device = m_link.Device()) {
        // A reply that failed the engine's check brings no fields: that check is the cause.
        if (device->LastVerdict().kind == ECRVerdict::Kind::FailedCheck)
            return FailedCheck(device->LastVerdict()).what();
        const ECRString& command = device->LastVerdict().command;
        request = " to " + ECRFieldReader::ShowText(std::string_view(command.Data(), command.Length()), false);
    }
    return "the register's answer" + request + " failed its check (" + error.Describe() +
           "): " + CommErrorText(error.code).Data();
}

std::string CliSession::Describe(const CommError& error) const
{
    const std::string text(CommErrorText(error.code).Data());
    if (ECRDevice* device = m_link.Device()) {
        const ECRVerdict& last = device->LastVerdict();
        const std::string request =
            ECRFieldReader::ShowText(std::string_view(last.command.Data(), last.command.Length()), false);
        if (error.code == CommError::Sync && last.kind == ECRVerdict::Kind::FailedCheck)
            return FailedCheck(last).what();
        if (error.code == CommError::Timeout && last.kind == ECRVerdict::Kind::NoReply)
            return "no answer from the register to " + request + " (" + text + ")";
    }
    return "communication failure: " + text;
}

PortAddress CliSession::AddressOf(const std::string& port, const std::string& given)
{
    if (const std::optional<PortAddress> address = ComPortMap().Resolve(port))
        return *address;
    throw BadPortName(port, given);
}

CliFailure CliSession::BadPortName(const std::string& port, const std::string& given)
{
    if (PortAddress::ParseNetwork(port))
        return CliFailure(CliFailure::kUsage, given + " " + port +
                                                  ": a device server is named tcp://HOST:PORT or "
                                                  "rfc2217://HOST:PORT (an IPv6 address in brackets)");
#ifdef _WIN32
    // Windows opens its COM ports by name only; a path would quietly open no port at all.
    return CliFailure(CliFailure::kUsage, "on Windows " + given +
                                              " takes a COM port (COM1, COM12) or a device "
                                              "server (tcp://HOST:PORT, rfc2217://HOST:PORT), not " +
                                              port);
#else
    return CliFailure(CliFailure::kUsage, given +
                                              " takes a COM port (COM1, COM12), a device path, a device server "
                                              "(tcp://HOST:PORT, rfc2217://HOST:PORT) or sim, not " +
                                              port);
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
        m_output.Err() << "message: " << ECRCodePage::ToUtf8(text) << '\n';
    }
}
