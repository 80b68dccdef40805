#pragma once

#include "ecr/protocol/ECRCallbacks.h"

#include <cstdint>
#include <utility>

// Turns device error codes into message texts for the user interface and
// keeps the process-wide last device error code.
class ECRMessageSink {
public:
    void SetCallback(ECRTextCallback callback) { m_callback = std::move(callback); }
    ECRTextCallback Callback() const { return m_callback; }

    // Stores the code as the last device error code and reports its text.
    void ReportCode(std::int32_t code);

    static std::int32_t LastCode();
    static void ResetLastCode();

private:
    ECRTextCallback m_callback = nullptr;
};
