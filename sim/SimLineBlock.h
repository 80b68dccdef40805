#pragma once

#include "sim/SimFieldReader.h"
#include "sim/SimOutcome.h"

#include <cstdint>
#include <span>
#include <string>

// The receipt header (#h/$h) and the advertising text (#i/$i) travel alike:
// the lines, each up to LF, then one double-size flag (0 or 1) per line.
class SimLineBlock {
public:
    // The refusal codes of one command.
    struct Refusals {
        std::int32_t emptyFirstLine = 0;  // 0: an empty first line is allowed
        std::int32_t badLine = 0;         // a line too long or unprintable, or a flag not 0 or 1
    };

    // Reads the lines and flags of a write request and stores them only when
    // every one is sound; doubleSize holds one flag per line.
    static SimOutcome Write(const std::string& command, SimFieldReader& fields, std::span<std::string> lines,
                            std::span<bool> doubleSize, std::size_t width, Refusals refusals);
    // The reply to a read request: the lines, then their flags.
    static SimOutcome Read(const std::string& command, std::span<const std::string> lines,
                           std::span<const bool> doubleSize);
};
