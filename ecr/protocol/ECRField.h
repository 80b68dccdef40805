#pragma once

#include "ecr/protocol/ECRString.h"

#include <cstdint>
#include <list>

// One request field: its text and which terminator follows it on the wire
// (1 = US 0x1F, 2 = LF, 3 = TAB, anything else = none).
class ECRField {
public:
    ECRField(ECRString fieldText, std::int32_t fieldKind) : text(fieldText), kind(fieldKind) {}

    ECRString text;
    std::int32_t kind;
};

using ECRFieldList = std::list<ECRField>;
