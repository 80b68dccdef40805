#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Plain callbacks from the protocol library to the user interface; null switches a report off.
using ECRTextCallback = void (*)(ECRString text);
using ECRProgressCallback = void (*)(std::int32_t percent);
// Called when a request or a status query has gone out and its answer is on
// the way: the line is busy for milliseconds, time the windows may use.
using ECRWaitCallback = void (*)();
