#pragma once

#include "ecr/files/FaultText.h"

// The two languages a fault is told in, by their short names.
constexpr auto English = FaultText::Language::English;
constexpr auto Serbian = FaultText::Language::Serbian;
