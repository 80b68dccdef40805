#pragma once

#include "cli/CliFailure.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "ecr/commands/ECRDevice.h"
#include "ecr/commands/ECRSessionTrace.h"
#include "ecr/protocol/ECRMessageSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

class SimulatorHost;
class Win32SerialPort;

// One run's connection: the port (or a simulated register started in the
// process), the device on it, the callbacks, and the log-on. Every run is a
// new device, so nothing (the open receipt flag above all) carries over
// from an earlier run; within a run (the lines of a batch) it all does.
class CliSession {
public:
    // A device path is opened through this COM number, one no real port uses.
    static constexpr int kDevicePathPort = 250;

    CliSession(const CliOptions& options, CliOutput& output);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the session log when asked, the port 8N1, creates the device and
    // logs on with a status enquiry. Throws CommError when the port fails,
    // CliFailure (link) when the register does not answer, CliFailure
    // (usage) for a bad port name, and CliFailure (bad input) when the log
    // cannot be written.
    void Open();
    bool IsOpen() const { return m_device != nullptr && m_status != 0; }
    // The port number a Win32SerialPort opens --port at: COMn's number, or
    // kDevicePathPort mapped to a device path. CliFailure (usage) for any
    // other name; "sim" is the caller's to handle first.
    static int PortNumberFor(const std::string& port);

    // Ends the session log with how the run ended.
    void LogOutcome(int exitCode, const std::string& error);
    // A line in the session log (if there is one) between the traffic entries.
    void LogNote(const std::string& text);

    ECRDevice& Device() { return *m_device; }
    CliOutput& Output() { return m_output; }
    const CliOptions& Options() const { return m_options; }
    std::int16_t Status() const { return m_status; }

    // Called with the percentages of a memory read.
    void SetProgressObserver(std::function<void(int)> observer) { m_progressObserver = std::move(observer); }

    // Runs one register operation and turns a refusal into CliFailure
    // (refused), and an answer that did not match its command into CliFailure
    // (link): its values would be empty, not the register's.
    template <class Operation>
    auto Checked(Operation&& operation)
    {
        ECRMessageSink::ResetLastCode();
        const std::uint64_t mismatched = MismatchedReplies();
        if constexpr (std::is_void_v<decltype(operation())>) {
            operation();
            ThrowIfFailed(mismatched);
        } else {
            auto result = operation();
            ThrowIfFailed(mismatched);
            return result;
        }
    }
    void ThrowIfFailed(std::uint64_t mismatchedBefore);
    // For runs of many operations that go on past refusals: the link failure
    // when any answer since the count was taken did not match its command.
    std::uint64_t MismatchedReplies() { return m_device->Engine().MismatchedReplies(); }
    void ThrowIfMismatched(std::uint64_t mismatchedBefore);

    // The failure for a device error code, with the register's message.
    static CliFailure Refusal(std::int32_t code);

private:
    static void OnRequest(ECRString text);
    static void OnRead(ECRString text);
    static void OnMessage(ECRString text);
    static void OnProgress(std::int32_t percent);
    // Logs a traffic entry and shows it as --trace asks.
    void Trace(ECRTrafficDirection direction, const ECRString& text);
    // Says once, on standard error, that the log stopped.
    void ReportLogFailure();

    const CliOptions& m_options;
    CliOutput& m_output;
#ifdef THERMAL_SIM_HOST
    std::unique_ptr<SimulatorHost> m_simulator;
#endif
    std::unique_ptr<Win32SerialPort> m_port;
    std::unique_ptr<ECRDevice> m_device;
    std::int16_t m_status = 0;
    ECRSessionTrace m_trace;
    std::function<void(int)> m_progressObserver;
};
