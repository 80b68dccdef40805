#pragma once

#include "support/PseudoTerminal.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// One test's pseudo-terminal, served over one connection (see
// support/PtyPeerProtocol.h) until the test closes it. COMn is put on the
// terminal by a link in the Wine prefix's dosdevices folder, which Wine
// follows on every open; the links go when the session ends.
class PtyPeerSession {
public:
    PtyPeerSession(int connection, std::filesystem::path dosDevices);
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
    std::filesystem::path m_dosDevices;
    std::unique_ptr<PseudoTerminal> m_terminal;
    std::vector<std::filesystem::path> m_links;
};
