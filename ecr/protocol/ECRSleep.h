#pragma once

#include <cstdint>

// Every pause of the program (status polling, the daily-report series) goes
// through here so that tests can replace it and never wait for real.
using ECRSleepFunction = void (*)(std::int32_t milliseconds);

// Pauses on the installed sleep; the real one returns at once for 0 or less.
void ECRSleep(std::int32_t milliseconds);

// Installs a replacement (null restores the real sleep); returns the previous one.
ECRSleepFunction SetECRSleepFunction(ECRSleepFunction function);
