#pragma once

#include "sim/SimFieldReader.h"

#include <cstdint>
#include <optional>
#include <string>

// The register's answer to one request: the reply payload, and whether the
// command made it print for a while (reports and receipts).
struct SimOutcome {
    std::string payload;
    std::int32_t code = 0;   // 0 = accepted, else the device error code sent
    bool printing = false;

    // The accepted reply: "#" and "*" commands echo their class and letter,
    // "$" and "%" commands answer with their class and the upper-case letter.
    static SimOutcome Accept(const std::string& command, const std::string& data = {}, bool printing = false);

    // The device error reply "#Z", the command's letter, LF, the code, US.
    static SimOutcome Refuse(const std::string& command, std::int32_t code);

    // The refusal for a request whose fields were missing, malformed or too many.
    static std::optional<SimOutcome> Malformed(const std::string& command, const SimFieldReader& fields);
};
