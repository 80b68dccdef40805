#pragma once

#include "service/jobs/NameTable.h"

// Whether a fiscal job (a receipt, a report) put its document on paper.
enum class Outcome { Printed, NotPrinted, Unknown };

inline constexpr NameTable<Outcome, 3> kOutcomeNames{{{
    {Outcome::Printed, "printed"},
    {Outcome::NotPrinted, "not printed"},
    {Outcome::Unknown, "unknown"},
}}};
