#include "ecr/protocol/ECRClock.h"

#include <atomic>
#include <chrono>

namespace {

std::int64_t SteadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::atomic<ECRClockFunction> s_clock{&SteadyMs};

}  // namespace

std::int64_t ECRClockMs()
{
    return s_clock.load()();
}

ECRClockFunction SetECRClockFunction(ECRClockFunction function)
{
    return s_clock.exchange(function != nullptr ? function : &SteadyMs);
}
