#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// Plain callbacks from the protocol library to the user interface; null switches a report off.
using ECRTextCallback = void (*)(ECRString text);
using ECRProgressCallback = void (*)(std::int32_t percent);
