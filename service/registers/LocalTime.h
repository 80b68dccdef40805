#pragma once

#include <ctime>

// The PC's local time of day at `when`, read without the shared buffer of
// std::localtime: each register's worker reads it on its own thread.
inline std::tm LocalTime(std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}
