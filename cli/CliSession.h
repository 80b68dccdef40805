#pragma once

#include "cli/CliFailure.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECRSessionTrace.h"
#include "ecr/protocol/ECRVerdictWatch.h"
#include "link/LinkTarget.h"
#include "link/PortAddress.h"
#include "link/RegisterLink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

class CommError;
class ECRReplyError;

// One run's connection: its register link (to the port named, or to a
// simulated register started in the process), the reports of that link to the
// trace and the log, and the log-on. Every run is a new link, so nothing (the
// open receipt flag above all) carries over from an earlier run; within a run
// (the lines of a batch) it all does.
class CliSession {
public:
    CliSession(const CliOptions& options, CliOutput& output);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the session log when asked, the port 8N1, creates the device and
    // logs on with a status enquiry. Throws CliFailure (link) when the port
    // fails (naming the device behind a COM port and the system's reason)
    // or the register does not answer, CliFailure (usage) for a bad port
    // name, and CliFailure (bad input) when the log cannot be written.
    void Open();
    bool IsOpen() const { return m_link.IsOpen(); }
    // Where --port leads: COMn through ECR_COMn or the system's own port, a
    // device path as given, a device server (tcp://, rfc2217://). CliFailure
    // (usage) for any other name; "sim" is the caller's to handle first.
    // given: where the name came from ("--port", "ECRCTL_PORT"), for the message.
    static PortAddress AddressOf(const std::string& port, const std::string& given);
    // What went wrong last on the link's port, in words that name it; empty
    // when the error's own text says all (see SerialPort::Problem).
    std::string LinkProblem() const { return m_link.Problem(); }
    // The usage failure for a --port (or what given names) that names no port.
    static CliFailure BadPortName(const std::string& port, const std::string& given = "--port");

    // Ends the session log with how the run ended.
    void LogOutcome(int exitCode, const std::string& error);
    // A line in the session log (if there is one) between the traffic entries.
    void LogNote(const std::string& text);

    // Where the receipt stands, as the register's answers in this run said:
    // Opened by this run (and not paid or cancelled), FoundOpen (open before
    // the run: the run sells nothing into it), Closed, or Unknown (nothing
    // said yet, also before logging on).
    ECRFiscalCommands::ReceiptState Receipt() const
    {
        return m_link.Device() ? m_link.Device()->GetReceiptState() : ECRFiscalCommands::ReceiptState::Unknown;
    }
    // What a message about an open receipt tells the user to do.
    static constexpr const char* kPayOrCancel = "pay it (`ecrctl pay`) or cancel it (`ecrctl cancel`)";

    // The words for a CommError that ended a piece of work: the design's
    // text, with what the run knows beside it (which request had no answer,
    // which field of an answer failed its check).
    std::string Describe(const CommError& error) const;
    // A reply field that failed its check, with the request it answered.
    std::string Describe(const ECRReplyError& error) const;

    ECRDevice& Device() { return *m_link.Device(); }
    CliOutput& Output() { return m_output; }
    const CliOptions& Options() const { return m_options; }
    std::int16_t Status() const { return m_link.Status(); }

    // Called with the percentages of a memory read.
    void SetProgressObserver(std::function<void(int)> observer) { m_progressObserver = std::move(observer); }

    // Runs one register operation and turns its first exchange that was not
    // accepted into a CliFailure: refused, or (link) an answer that failed
    // its check, whose values would be empty, not the register's.
    template <class Operation>
    auto Checked(Operation&& operation)
    {
        const ECRVerdictWatch watch(Device().Verdicts());
        if constexpr (std::is_void_v<decltype(operation())>) {
            operation();
            ThrowIfNotAccepted(watch);
        } else {
            auto result = operation();
            ThrowIfNotAccepted(watch);
            return result;
        }
    }
    // The failure for the first exchange the watch saw that was not accepted.
    static void ThrowIfNotAccepted(const ECRVerdictWatch& watch);
    // For runs of many operations that go on past refusals: the link failure
    // when any answer the watch saw failed its check.
    static void ThrowIfAnyFailedCheck(const ECRVerdictWatch& watch);

    // The failure for a device error code, with the register's message.
    static CliFailure Refusal(std::int32_t code);
    // The link failure for an answer that failed its check.
    static CliFailure FailedCheck(const ECRVerdict& verdict);

private:
    // Logs a traffic entry and shows it as --trace asks.
    void Trace(ECRTrafficDirection direction, const ECRString& text);
    void Message(const ECRString& text);
    // Says once, on standard error, that the log stopped.
    void ReportLogFailure();
    // The port as the user named it, with the device behind a COM port:
    // "COM1 (/dev/ttyS0)".
    std::string PortText() const;
    // "; ecrctl doctor --port COM1 ..." for a real port; empty for sim.
    std::string DoctorAdvice() const;

    const CliOptions& m_options;
    CliOutput& m_output;
    // Declared before the link, so the link goes first.
    LinkTarget m_target;
    RegisterLink m_link;
    ECRSessionTrace m_trace;
    std::function<void(int)> m_progressObserver;
};
