#pragma once

#include "link/PortAddress.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

class SimulatorHost;

// Where a port name leads, as ecrctl's --port and ecrd's "port" take it:
// "sim" starts a simulated register in this process (where the build has
// one) and leads to its pseudo-terminal; any other name is resolved by
// ComPortMap (COMn, a device path, and whatever else it learns to resolve).
// The target owns the simulated register, so it must outlive the link that
// talks to it.
//
//   LinkTarget target;
//   std::string error;
//   if (target.Resolve(name, {}, error) == LinkTarget::Problem::None)
//       link.Open(*target.Address(), RegisterLink::Settings(baud, target.Address()->ComNumber()), reports);
class LinkTarget {
public:
    static constexpr const char* kSimulator = "sim";

    // How a simulated register is started.
    struct SimulatorOptions {
        std::string journalPath;    // where its printout goes; empty for none
        std::FILE* journalStream = nullptr;  // or this stream (not closed), when set
        std::int32_t baudRate = 0;  // its line paced at this rate; 0 unpaced
    };

    enum class Problem {
        None,
        BadName,          // neither "sim" nor a port ComPortMap knows
        NoSimulator,      // "sim" in a build without the pseudo-terminal host
        SimulatorFailed,  // "sim", but it could not start (error says why)
    };

    // Whether Resolve would take the name: "sim", or a port ComPortMap
    // resolves. Starts nothing.
    static bool Names(const std::string& name);

    LinkTarget();
    ~LinkTarget();
    LinkTarget(const LinkTarget&) = delete;
    LinkTarget& operator=(const LinkTarget&) = delete;

    // Resolves the name, stopping a simulated register of an earlier call
    // first. None with Address() set; otherwise the problem (and for
    // SimulatorFailed, error) and no address.
    Problem Resolve(const std::string& name, const SimulatorOptions& simulator, std::string& error);

    const std::optional<PortAddress>& Address() const { return m_address; }
    // The simulated register this target started; null for any other port.
    SimulatorHost* Simulator() const { return m_simulator.get(); }

private:
    std::unique_ptr<SimulatorHost> m_simulator;
    std::optional<PortAddress> m_address;
};
