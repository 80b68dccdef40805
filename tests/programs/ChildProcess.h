#pragma once

#include <string>
#include <vector>

// One of the built programs run as its own process, as a user starts it:
// its standard output and error read through pipes, optionally under a file
// size limit (as after ulimit -f). Ended (SIGKILL) if still running when
// destroyed.
class ChildProcess {
public:
    struct Options {
        long long fileSizeLimit = -1;                                  // bytes; -1: the test's own
        std::vector<std::pair<std::string, std::string>> environment;  // set in the child
    };

    ChildProcess(const std::vector<std::string>& arguments, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, without its LF; empty when none came
    // within the time.
    std::string ReadLine(int timeoutMs);
    bool Running();
    // Sends the signal and waits for the end.
    void Stop(int signal);
    // Waits for the end, at most timeoutMs; false when it is still running.
    bool Wait(int timeoutMs);

    // After the end: how it ended.
    bool Exited() const { return m_exited; }
    int ExitCode() const { return m_code; }
    int Signal() const { return m_signal; }
    // Everything it wrote to standard error (read once it ended).
    const std::string& Errors() const { return m_err; }

private:
    void Drain(int timeoutMs);
    bool Reap(bool block);

    int m_pid = -1;
    int m_out = -1;
    int m_errPipe = -1;
    std::string m_outBuffer;
    std::string m_err;
    bool m_ended = false;
    bool m_exited = false;
    int m_code = -1;
    int m_signal = 0;
};
