#pragma once

#include "ecr/protocol/ECRCallbacks.h"

#include <cstdint>
#include <utility>

// Turns device error codes into message texts for the user interface and
// keeps the process-wide last device error code.
class ECRMessageSink {
public:
    // The callback that gets each reported code's text; empty switches it off.
    void SetCallback(ECRTextCallback callback) { m_callback = std::move(callback); }
    ECRTextCallback Callback() const { return m_callback; }

    // Stores the code as the last device error code and reports its text
    // (DeviceMessageText: Windows-1250, "???" for a code without one).
    void ReportCode(std::int32_t code);

    // The last device error code reported by any sink in the process (0 at the start).
    static std::int32_t LastCode();
    // Sets it back to 0 (a new ECRDevice does).
    static void ResetLastCode();

private:
    ECRTextCallback m_callback = nullptr;
};
