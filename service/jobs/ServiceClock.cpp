#include "service/jobs/ServiceClock.h"

#include <chrono>

namespace {

class SystemClock : public ServiceClock {
public:
    std::int64_t NowMs() const override
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
            .count();
    }
};

}  // namespace

const ServiceClock& ServiceClock::System()
{
    static const SystemClock clock;
    return clock;
}
