#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class ECRSimulator;

// Runs a simulated register on its own thread inside the calling process
// (ecr-sim, thermal --simulator, ecrctl --port sim, tests), on a
// pseudo-terminal that the client opens as its serial device (DevicePath()),
// or listening on TCP (Options::listen) for one client at a time, the bytes as
// on the line: a register behind a raw TCP device server. The thread sleeps
// until the line brings bytes or a paced byte falls due.
class SimulatorHost {
public:
    struct Options {
        std::string linkPath;          // optional symlink to the device path
        std::string journalPath;       // optional file the printed output is appended to ("-": standard output)
        // Instead of journalPath: stdout or stderr, written to and never closed.
        std::FILE* journalStream = nullptr;
        std::int32_t baudRate = 0;     // line pacing: 0 = none, else 10 bits per byte at this rate
        std::int32_t printMilliseconds = 0;  // busy time of reports and receipts
        // HOST:PORT to listen on instead of a pseudo-terminal (port 0: any free
        // one); where there are no pseudo-terminals (Windows) the only way.
        std::string listen;
    };

    SimulatorHost();
    explicit SimulatorHost(Options options);
    ~SimulatorHost();  // stops the thread and releases the pseudo-terminal

    SimulatorHost(const SimulatorHost&) = delete;
    SimulatorHost& operator=(const SimulatorHost&) = delete;

    // Opens the pseudo-terminal and starts serving; false with a message on failure.
    bool Start(std::string* error = nullptr);
    void Stop();
    bool Running() const;

    // The slave side, e.g. /dev/pts/7; empty when listening.
    std::string DevicePath() const;
    // Where it listens, "127.0.0.1:2000" (the port chosen when 0 was asked
    // for); empty on a pseudo-terminal.
    std::string ListenAddress() const;

    // Payloads of the request frames received so far, in order (without ESC P, checksum, ESC \).
    std::vector<std::string> Requests() const;
    void ClearRequests();

    // Everything the register printed so far, as readable text.
    std::string Journal() const;

    // Runs a function on the simulator while the serving thread is held off,
    // e.g. to set state or faults from a test.
    void WithSimulator(const std::function<void(ECRSimulator&)>& action);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
