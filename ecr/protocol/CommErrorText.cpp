#include "ecr/protocol/CommErrorText.h"

#include "ecr/protocol/CommError.h"

#include <array>

const ECRString& CommErrorText(std::int32_t code)
{
    static const std::array<ECRString, CommError::CodeCount> texts = {
        "OK",
        "Error opening port",
        "Error reading port settings",
        "Error aplying port settings",
        "Error reading port timeout",
        "Error aplying port timeout",
        "Error reading port mask",
        "Error aplying port mask",
        "Error writing to port",
        "Error reading from port",
        "Timeout error",
        "Invalid parameter for ECR",
        "Name is not globally unique",
        "Invalid system parameter",
        "Could not create thread",
        "General fault!",
        "Sync Error!",
        "Invalid Command!",
        "Wrong checksum!",
        "Error opening file!",
    };
    static const ECRString unknown("???");
    if (code < 0 || code >= static_cast<std::int32_t>(texts.size())) {
        return unknown;
    }
    return texts[static_cast<std::size_t>(code)];
}
