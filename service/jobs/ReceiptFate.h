#pragma once

#include "service/jobs/NameTable.h"

// What became of a receipt that was not printed: cancelled on the
// register, left open there (the register refused to cancel it), or none
// was open when the job ended.
enum class ReceiptFate { Cancelled, LeftOpen, NoneOpen };

inline constexpr NameTable<ReceiptFate, 3> kReceiptFateNames{{{
    {ReceiptFate::Cancelled, "cancelled"},
    {ReceiptFate::LeftOpen, "left open"},
    {ReceiptFate::NoneOpen, "none open"},
}}};
