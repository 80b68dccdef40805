#pragma once

#include <string>
#include <utility>
#include <vector>

// A program the test starts as its own process, as a user or a service
// manager would: one of the built programs (its standard output and error
// read through pipes, optionally under a file size limit, as after ulimit -f)
// or a real server in front of the simulated register (ser2net, a Python RFC
// 2217 server; its output to a log file). Ended with SIGKILL if still running
// when destroyed.
class ChildProcess {
public:
    struct Options {
        long long fileSizeLimit = -1;                                  // bytes; -1: the test's own
        std::vector<std::pair<std::string, std::string>> environment;  // set in the child
        std::string logPath;  // standard output and error appended here instead of the pipes
    };

    // Starts arguments[0] (looked up on PATH when it names no folder).
    ChildProcess(const std::vector<std::string>& arguments, const Options& options);
    // A server whose output goes to logPath.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& logPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of standard output, without its LF; empty when none came
    // within the time.
    std::string ReadLine(int timeoutMs);
    bool Running();
    // Sends the signal and waits for the end.
    void Stop(int signal);
    // SIGKILL, as a server that dies; waits for it.
    void Kill();
    // Waits for the end, at most timeoutMs; false when it is still running.
    bool Wait(int timeoutMs);

    // After the end: how it ended.
    bool Exited() const { return m_exited; }
    int ExitCode() const { return m_code; }
    int Signal() const { return m_signal; }
    // Everything it wrote to standard error (read once it ended).
    const std::string& Errors() const { return m_err; }

    // True when the program is on PATH (or the path is executable).
    static bool Available(const std::string& program);
    // A TCP port on 127.0.0.1 that nothing listened on a moment ago.
    static int FreePort();
    // Waits up to timeoutMs for something to accept on 127.0.0.1:port.
    static bool AwaitListening(int port, int timeoutMs);
    // Waits up to timeoutMs for the file to hold the text (a server's log line).
    static bool AwaitText(const std::string& path, const std::string& text, int timeoutMs);

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
