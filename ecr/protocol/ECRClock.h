#pragma once

#include <cstdint>

// The monotonic time the link's deadlines are measured on, in milliseconds
// from an arbitrary start. Replaceable like the sleep, so that tests can run
// a deadline on a clock they move themselves.
using ECRClockFunction = std::int64_t (*)();

// The time on the installed clock (the steady clock unless replaced).
std::int64_t ECRClockMs();

// Installs a replacement (null restores the real clock); returns the previous one.
ECRClockFunction SetECRClockFunction(ECRClockFunction function);
