#include "service/http/OpenFileLimit.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <algorithm>

std::uint64_t OpenFileLimit::Raise(std::uint64_t most)
{
#ifdef _WIN32
    (void)most;
    return 0;
#else
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, static_cast<rlim_t>(most));
    if (wanted > limit.rlim_cur) {
        rlimit raised = limit;
        raised.rlim_cur = wanted;
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return static_cast<std::uint64_t>(limit.rlim_cur);
#endif
}
