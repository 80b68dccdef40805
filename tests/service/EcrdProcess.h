#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

// The ecrd program run by a test: its configuration written to a folder,
// started with --config, and its port read from the line it prints when it
// listens. Killed (SIGKILL) when the test ends, if still running.
class EcrdProcess {
public:
    // The Linux ecrd of this build.
    EcrdProcess();
    // Another: command is the program and what comes before --config (wine
    // and ecrd.exe), pathPrefix what the program needs before an absolute
    // path ("Z:" under Wine).
    EcrdProcess(std::vector<std::string> command, std::string pathPrefix);
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
    std::vector<std::string> m_command;
    std::string m_pathPrefix;
    pid_t m_pid = -1;
    int m_out = -1;
    int m_port = 0;
    std::string m_errorsPath;
};
