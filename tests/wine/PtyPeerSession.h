#pragma once

#include "support/PseudoTerminal.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One test's pseudo-terminal, served over one connection (see
// support/PtyPeerProtocol.h) until the test closes it. COMn is put on the
// terminal by the link comN in the prefix's port folder, where the prefix's
// dosdevices/comN leads (scripts/test-windows sets that up through Wine's
// Ports registry key, so Wine's own port detection never takes the names
// over). Wine follows the links on every open; they go when the session ends.
class PtyPeerSession {
public:
    // The port folder, inside the Wine prefix.
    static constexpr const char* kPortLinkFolder = "com-ports";

    PtyPeerSession(int connection, std::filesystem::path portLinks);
    ~PtyPeerSession();
    PtyPeerSession(const PtyPeerSession&) = delete;
    PtyPeerSession& operator=(const PtyPeerSession&) = delete;

    // Answers requests until the connection closes or fails.
    void Run();

private:
    // The answer's payload; throws what goes back as a failure.
    std::string Answer(char operation, const std::string& payload);
    void Map(const std::string& portNumber);

    int m_connection;
    std::filesystem::path m_portLinks;
    std::unique_ptr<PseudoTerminal> m_terminal;
    std::vector<std::filesystem::path> m_links;
};
