#include "serial/platform/PreciseWait.h"

#include <ctime>

int PreciseWait::Until(pollfd* fds, nfds_t count, Clock::time_point deadline)
{
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            return ::poll(fds, count, 0);  // one last look, as a timed-out poll() takes
        }
        const auto sleep = std::chrono::duration_cast<std::chrono::nanoseconds>(
            left > kMargin ? left - kMargin : Clock::duration::zero());
        const timespec timeout{static_cast<time_t>(sleep.count() / 1'000'000'000),
                               static_cast<long>(sleep.count() % 1'000'000'000)};
        const int ready = ::ppoll(fds, count, &timeout, nullptr);
        if (ready != 0) {
            return ready;
        }
    }
}
