#pragma once

#include <string>
#include <vector>

// A pseudo-terminal for serial tests: the test plays the register on the
// master side; the port under test opens the slave by its path. The line
// starts cooked (echo, line editing, XON/XOFF, CR/LF translation). Failures
// throw, so the benchmarks can use it too.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    // Kept open for the test's life, so the line survives the port closing
    // and the test can read the line settings back.
    int SlaveFd() const { return m_slave; }

    // Makes COMn lead here until the terminal goes away.
    void MapAs(int portNumber);

    // Bytes arriving at the port.
    void Send(const std::string& bytes);
    // What the port wrote: up to count bytes, stopping once nothing comes for quietMs.
    std::string Receive(std::size_t count, int quietMs = 200);
    // Closes the master side, as a vanished peer would.
    void HangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::vector<int> m_mappedPorts;
};
