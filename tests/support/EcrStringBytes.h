#pragma once

#include "ecr/protocol/ECRString.h"

#include <string>

// The bytes an ECRString holds, zeros included.
inline std::string Bytes(const ECRString& s)
{
    return std::string(s.Data(), s.Length());
}
