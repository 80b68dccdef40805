#pragma once

#include "WireRunner.h"

#include <cstdint>
#include <vector>

// The scenarios as ecrctl runs, in this process: one run per scenario, as a
// user would type it, port opening and log-on included.
class EcrCtlRunner : public WireRunner {
public:
    explicit EcrCtlRunner(std::int32_t baud) : m_baud(baud) {}

    std::string Name() const override { return "ecrctl"; }
    bool Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
             std::string& error) override;

    // The subcommand and its arguments for a scenario.
    static std::vector<std::string> Subcommand(const WireScenario& scenario);
    // ecrctl --port PORT --baud BAUD with the scenario's subcommand, in this
    // process, timed whole (opening the port and logging on are part of it).
    static bool RunAt(const std::string& port, std::int32_t baud, const WireScenario& scenario, WireSpan& span,
                      std::string& error);

private:
    std::int32_t m_baud;
};
