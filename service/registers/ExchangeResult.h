#pragma once

#include "service/jobs/Problem.h"

#include <cstdint>
#include <functional>
#include <string>

class ECRDevice;

// How one register operation went, judged by the verdicts of its
// exchanges (never by the process-wide last code, which another link may
// have set): accepted, refused with the register's code, or lost (no
// answer, or one that failed its check or could not be read), after which
// what the register did is unknown.
struct ExchangeResult {
    enum class Kind { Accepted, Refused, Lost };

    Kind kind = Kind::Accepted;
    std::int32_t code = 0;  // Refused: the device error code
    std::string what;       // Refused: the register's message (UTF-8); Lost: why, in words
    // Lost with no answer or a failed port: the link is to be opened anew.
    bool linkBroken = false;

    // The register refused with this device error code.
    static ExchangeResult Refusal(std::int32_t deviceCode);
    // Runs the operation, catching what the engine throws.
    static ExchangeResult Of(ECRDevice& device, const std::function<void()>& operation);

    bool Accepted() const { return kind == Kind::Accepted; }
    bool Refused(std::int32_t deviceCode) const { return kind == Kind::Refused && code == deviceCode; }
    // "the register refused: <message> (code N)" or the loss, with "while <doing>".
    std::string Words(const std::string& doing) const;
    // Refused: Problem::Refused with the register's code and message; Lost:
    // lostCode. sent: whether the job had sent anything that could change
    // the register (reads do not count).
    Problem ToProblem(const std::string& doing, Problem::Code lostCode, Problem::Sent sent) const;
};
