#include "link/LinkTarget.h"

#include "link/ComPortMap.h"
// Complete everywhere, for the destructor of m_simulator; a build without the
// pseudo-terminal host never starts one.
#include "sim/SimulatorHost.h"

bool LinkTarget::Names(const std::string& name)
{
    return name == kSimulator || ComPortMap().Resolve(name).has_value();
}

LinkTarget::LinkTarget() = default;

LinkTarget::~LinkTarget() = default;

LinkTarget::Problem LinkTarget::Resolve(const std::string& name, const SimulatorOptions& simulator, std::string& error)
{
    m_address.reset();
    m_simulator.reset();
    if (name != kSimulator) {
        m_address = ComPortMap().Resolve(name);
        return m_address ? Problem::None : Problem::BadName;
    }
#ifndef THERMAL_SIM_HOST
    (void)simulator;
    (void)error;
    return Problem::NoSimulator;
#else
    SimulatorHost::Options options;
    options.journalPath = simulator.journalPath;
    options.journalStream = simulator.journalStream;
    options.baudRate = simulator.baudRate;
    m_simulator = std::make_unique<SimulatorHost>(options);
    if (!m_simulator->Start(&error)) {
        m_simulator.reset();
        return Problem::SimulatorFailed;
    }
    m_address = PortAddress::DevicePath(m_simulator->DevicePath());
    return Problem::None;
#endif
}
