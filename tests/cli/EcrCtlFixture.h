#pragma once

#include "cli/EcrCtl.h"
#include "sim/ECRSimulator.h"
#include "sim/SimulatorHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

// What one ecrctl run in the test's process returned and printed.
struct EcrCtlOutcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// ecrctl args..., exactly as given.
inline EcrCtlOutcome RunEcrCtl(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    EcrCtlOutcome outcome;
    outcome.exitCode = EcrCtl::Run(args, out, err);
    outcome.out = out.str();
    outcome.err = err.str();
    return outcome;
}

// Runs ecrctl in the test's process against a simulated register on a
// pseudo-terminal, and keeps what it printed.
class EcrCtlFixture : public testing::Test {
protected:
    using Outcome = EcrCtlOutcome;

    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(host.Start(&error)) << error;
    }

    // ecrctl --port <simulator> args...
    Outcome Run(std::vector<std::string> args, std::vector<std::string> globals = {})
    {
        std::vector<std::string> all{"--port", host.DevicePath()};
        all.insert(all.end(), globals.begin(), globals.end());
        all.insert(all.end(), args.begin(), args.end());
        return RunExactly(all);
    }

    static Outcome RunExactly(const std::vector<std::string>& args) { return RunEcrCtl(args); }

    std::vector<std::string> Requests() const { return host.Requests(); }

    // The simulated register misbehaves as set from now on.
    void SetFaults(const std::function<void(SimFaults&)>& set)
    {
        SimFaults faults;
        set(faults);
        host.WithSimulator([&faults](ECRSimulator& sim) { sim.SetFaults(faults); });
    }

    SimulatorHost host;
};
