#include "link/TimerSlack.h"

#ifdef __linux__
#include <sys/prctl.h>
#elif defined(_WIN32)
#include "serial/platform/WindowsHeader.h"

#include <timeapi.h>
#endif

bool TimerSlack::MakeFine()
{
#ifdef __linux__
    // One nanosecond: a timed wait ends when it is due, as at a real-time priority.
    return ::prctl(PR_SET_TIMERSLACK, 1UL) == 0;
#elif defined(_WIN32)
    // Kept until the process ends, which gives it back.
    return timeBeginPeriod(1) == TIMERR_NOERROR;
#else
    return false;
#endif
}
