#pragma once

#include "cli/LinkDoctor.h"
#include "link/PortAddress.h"

#include <vector>

// What stands between ecrctl and a register behind a serial device server:
// the name, the connection, and for RFC 2217 the negotiation of the COM port
// option and of the line settings. Each step says what it found and, when it
// is a problem, what to do about it.
class NetworkDoctor {
public:
    // How long the server has to acknowledge the line settings.
    static constexpr int kAcknowledgeMs = 1000;

    // Adds the findings for the address; false when the register cannot be
    // reached through it (the status enquiry would be pointless).
    static bool Check(const PortAddress& address, int baud, std::vector<LinkDoctor::Finding>& findings);
};
