#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

// The ecrd program run by a test: its configuration written to a folder,
// started with --config, and its port read from the line it prints when it
// listens. Killed (SIGKILL) when the test ends, if still running.
class EcrdProcess {
public:
    EcrdProcess() = default;
    ~EcrdProcess();
    EcrdProcess(const EcrdProcess&) = delete;
    EcrdProcess& operator=(const EcrdProcess&) = delete;

    // Writes config to folder/ecrd.json and starts ecrd. False, with what it
    // printed, when it does not listen within ten seconds.
    bool Start(const std::string& folder, const std::string& config, std::string& error);
    int Port() const { return m_port; }
    pid_t Pid() const { return m_pid; }
    bool Running() const { return m_pid > 0; }

    void Signal(int signal) const;
    // Waits for the end; the exit code, or 128 + the signal that ended it.
    int Wait();
    // What it wrote on standard error so far.
    std::string Errors() const;
    // Its resident memory now, in bytes (0 when it is not running).
    std::size_t ResidentBytes() const;

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_port = 0;
    std::string m_errorsPath;
};
