#include "link/LinkTarget.h"

#include "link/ComPortMap.h"
#ifdef THERMAL_SIM_HOST
#include "sim/SimulatorHost.h"
#endif

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
