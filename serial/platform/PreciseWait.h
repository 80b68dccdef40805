#pragma once

#include <poll.h>

#include <chrono>

// poll() until a deadline, ending within a few microseconds of it. A sleeping
// thread wakes some tens of microseconds after its time on many machines
// (virtual ones more, even with a fine timer slack), and on a paced line
// that lateness is added to every exchange. So the sleep ends a margin
// early and the rest of the wait looks at the descriptors without sleeping:
// a few microseconds of processor time per wait.
class PreciseWait {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::microseconds kMargin{100};

    // As poll(): the count of ready descriptors, 0 once the deadline has
    // passed with none ready, -1 on failure (errno set; EINTR included).
    static int Until(pollfd* fds, nfds_t count, Clock::time_point deadline);
};
