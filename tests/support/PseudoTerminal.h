#pragma once

#include <string>
#include <vector>

// A pseudo-terminal the test holds the master side of, playing the register;
// the port or program under test opens the slave by its path. Failures throw,
// so the benchmarks can use it too.
class PseudoTerminal {
public:
    enum class Use {
        // A port under test: the test keeps the slave open for its life, so the
        // line survives the port closing and its settings can be read back. The
        // line starts cooked (echo, line editing, XON/XOFF, CR/LF translation),
        // so anything the port fails to switch off shows in the bytes.
        Port,
        // A whole program: the test holds no slave handle, so SlaveOpen() tells
        // whether the program still has the port open. The line starts raw.
        Program,
    };

    explicit PseudoTerminal(Use use = Use::Port);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    // The test's own slave handle; -1 for Use::Program.
    int SlaveFd() const { return m_slave; }

    // Makes COMn lead here until the terminal goes away.
    void MapAs(int portNumber);

    // Bytes arriving at the port.
    void Send(const std::string& bytes);
    // What the port wrote: up to count bytes, stopping once nothing comes for quietMs.
    std::string Receive(std::size_t count, int quietMs = 200);
    // Everything written so far, stopping once nothing comes for quietMs.
    std::string ReadAll(int quietMs = 200);
    // True while some process has the slave side open.
    bool SlaveOpen() const;
    // Closes the master side, as a vanished peer would.
    void HangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
    std::vector<int> m_mappedPorts;
};
