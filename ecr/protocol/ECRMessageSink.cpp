#include "ecr/protocol/ECRMessageSink.h"

#include "ecr/protocol/DeviceMessageText.h"

#include <atomic>

namespace {
// Shared by all device objects; atomic because the simulator's tests run a client per thread.
std::atomic<std::int32_t> s_lastCode{0};
}  // namespace

void ECRMessageSink::ReportCode(std::int32_t code)
{
    s_lastCode = code;
    if (m_callback != nullptr) {
        m_callback(ECRString(DeviceMessageText(code)));
    }
}

std::int32_t ECRMessageSink::LastCode()
{
    return s_lastCode;
}

void ECRMessageSink::ResetLastCode()
{
    s_lastCode = 0;
}
