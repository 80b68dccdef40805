#pragma once

#include "sim/SimFileDescriptor.h"

#include <string>

// A pseudo-terminal for the simulated register: the master side is ours,
// the slave side is what the client opens as its serial device. The slave
// is put in raw mode (8 bits, no echo, XON/XOFF passed through) and kept
// open here, so the client may close and reopen it without the master
// seeing a hang-up. An optional symlink names the slave at a chosen path.
class SimPseudoTerminal {
public:
    SimPseudoTerminal() = default;
    ~SimPseudoTerminal();

    SimPseudoTerminal(const SimPseudoTerminal&) = delete;
    SimPseudoTerminal& operator=(const SimPseudoTerminal&) = delete;

    // False with a message on failure.
    bool Open(const std::string& linkPath, std::string* error);

    int Master() const { return m_master.Get(); }
    const std::string& SlavePath() const { return m_slavePath; }

private:
    SimFileDescriptor m_master;
    SimFileDescriptor m_slave;
    std::string m_slavePath;
    std::string m_linkPath;
};
