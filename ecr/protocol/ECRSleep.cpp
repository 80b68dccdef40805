#include "ecr/protocol/ECRSleep.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

void RealSleep(std::int32_t milliseconds)
{
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

std::atomic<ECRSleepFunction> s_sleep{&RealSleep};

}  // namespace

void ECRSleep(std::int32_t milliseconds)
{
    s_sleep.load()(milliseconds);
}

ECRSleepFunction SetECRSleepFunction(ECRSleepFunction function)
{
    return s_sleep.exchange(function != nullptr ? function : &RealSleep);
}
