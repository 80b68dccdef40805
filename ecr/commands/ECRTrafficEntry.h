#pragma once

#include <cstdint>
#include <string>

// Which way a traffic entry went. The engine's traffic callback reports
// requests (and "Exception", its note on a reply that did not answer its
// command); the port's reports what was read. A capture read back from a
// file may not say; the decoder then judges by the bytes.
enum class ECRTrafficDirection { ToRegister, FromRegister, Note, Unknown };

// One traffic entry as the monitor shows it, with the time it was seen in
// milliseconds since the session started (negative: not known).
struct ECRTrafficEntry {
    std::int64_t ms = -1;
    ECRTrafficDirection direction = ECRTrafficDirection::Unknown;
    std::string bytes;
};
