#include "link/TimerSlack.h"

#ifdef __linux__
#include <sys/prctl.h>
#endif

bool TimerSlack::MakeFine()
{
#ifdef __linux__
    // One nanosecond: a timed wait ends when it is due, as at a real-time priority.
    return ::prctl(PR_SET_TIMERSLACK, 1UL) == 0;
#else
    return false;
#endif
}
