#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>

// The English text of a CommError code; "???" for a code outside the table.
const ECRString& CommErrorText(std::int32_t code);
