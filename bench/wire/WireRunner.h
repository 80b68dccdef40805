#pragma once

#include "WireScenario.h"

#include <string>

// A front end that carries out the benchmark's scenarios against a register
// on a serial device: ecrctl, and the GUI's dialogs once they exist.
class WireRunner {
public:
    virtual ~WireRunner() = default;

    virtual std::string Name() const = 0;
    // Carries out one scenario from connecting to done; false with a message when it failed.
    virtual bool Run(const WireScenario& scenario, const std::string& devicePath, std::string& error) = 0;
};
