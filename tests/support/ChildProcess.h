#pragma once

#include <string>
#include <vector>

// A program the test starts and ends: a real server (ser2net, a Python RFC
// 2217 server) in front of the simulated register. Killed when it goes.
class ChildProcess {
public:
    // Starts argv[0] (looked up on PATH) with its output to logPath.
    ChildProcess(const std::vector<std::string>& argv, const std::string& logPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Running();
    // SIGKILL, as a server that dies; waits for it.
    void Kill();

    // True when the program is on PATH (or the path is executable).
    static bool Available(const std::string& program);
    // A TCP port on 127.0.0.1 that nothing listened on a moment ago.
    static int FreePort();
    // Waits up to timeoutMs for something to accept on 127.0.0.1:port.
    static bool AwaitListening(int port, int timeoutMs);
    // Waits up to timeoutMs for the file to hold the text (a server's log line).
    static bool AwaitText(const std::string& path, const std::string& text, int timeoutMs);

private:
    int m_pid = -1;
};
