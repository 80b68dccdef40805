#pragma once

#include <functional>
#include <string>

class CliSession;

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

    // With a session, a CommError is said as the session knows it
    // (CliSession::Describe): which request, which field.
    static Outcome Run(const std::function<void()>& work, const CliSession* session = nullptr);
};
