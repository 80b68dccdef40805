#pragma once

#include "WireScenario.h"
#include "WireSpan.h"

#include <string>

// A front end that carries out the benchmark's scenarios against a register
// on a serial device: ecrctl, or the program's windows.
class WireRunner {
public:
    virtual ~WireRunner() = default;

    virtual std::string Name() const = 0;
    // Carries out one scenario from connecting to done, marking on the span
    // what a user would time; false with a message when it failed.
    virtual bool Run(const WireScenario& scenario, const std::string& devicePath, WireSpan& span,
                     std::string& error) = 0;
};
