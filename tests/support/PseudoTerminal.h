#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A pseudo-terminal the test holds the master side of, playing the register;
// the port or program under test opens the slave by its path. Failures throw,
// so the benchmarks can use it too.
//
// Under Wine the test is a Windows program and cannot make one: the terminal
// is then held by wine-pty-peer on the Linux side (tests/wine), which the
// test asks for every operation, and COMn leads to it through Wine's
// dosdevices links.
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

    // The line settings as the port left them (Use::Port).
    struct LineSettings {
        int baud = 0;  // 0 for a rate outside the usual ones
        bool twoStopBits = false;
        bool hardwareFlow = false;
        // The settings that keep the line from carrying bytes untouched, by
        // their termios names ("IXON ECHO"); empty for a raw line.
        std::string cooked;
    };

    explicit PseudoTerminal(Use use = Use::Port);
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
#ifndef _WIN32
    // The test's own slave handle; -1 for Use::Program.
    int SlaveFd() const { return m_slave; }
#endif

    // The name a port opens this terminal by as COMn: the slave's path; under
    // Wine "COMn" itself, which then leads here until the terminal goes away.
    std::string MapAs(int portNumber);

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
    LineSettings Line() const;

private:
#ifdef _WIN32
    // One request to wine-pty-peer and its answer.
    std::string Ask(char operation, const std::string& payload = std::string()) const;

    std::uintptr_t m_peer;  // the connection to wine-pty-peer
#else
    int m_master = -1;
    int m_slave = -1;
#endif
    std::string m_slavePath;
};
