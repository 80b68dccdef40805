#pragma once

#include <functional>
#include <string>

// Runs a piece of ecrctl's work (a whole run, or one line of a batch) and
// turns whatever it throws into an exit code with a message, so that every
// failure ends with a documented code and nothing escapes.
class CliGuard {
public:
    struct Outcome {
        int exitCode = 0;
        std::string error;   // empty on success
        int deviceCode = 0;  // the register's code of a refusal
    };

    static Outcome Run(const std::function<void()>& work);
};
