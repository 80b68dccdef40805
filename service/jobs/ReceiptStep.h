#pragma once

#include "service/jobs/NameTable.h"

// The steps of one receipt, in the order they are taken. Up to
// SubtotalAsked nothing can be printed (a receipt left open then is
// cancelled); from PaymentAboutToGo on, only the register can say whether
// it was.
enum class ReceiptStep {
    TotalsRead,        // the totals read before it; "*t" is next
    Opened,            // "*t" accepted
    LineSent,          // a line's "*l" accepted (linesSent says how many)
    SubtotalAsked,     // "*u" answered: the total is known
    PaymentAboutToGo,  // "*e" is next: recorded, and synced to the disk, before it goes
    PaymentAnswered,   // "*e" answered
    Closed,            // paid: printed
    Cancelled,         // "*x" accepted
};

inline constexpr NameTable<ReceiptStep, 8> kReceiptStepNames{{{
    {ReceiptStep::TotalsRead, "totalsRead"},
    {ReceiptStep::Opened, "opened"},
    {ReceiptStep::LineSent, "lineSent"},
    {ReceiptStep::SubtotalAsked, "subtotalAsked"},
    {ReceiptStep::PaymentAboutToGo, "paying"},
    {ReceiptStep::PaymentAnswered, "paid"},
    {ReceiptStep::Closed, "closed"},
    {ReceiptStep::Cancelled, "cancelled"},
}}};

// The payment went out (or was about to): whether it was printed is then the register's to say.
constexpr bool PaymentSent(ReceiptStep step)
{
    return step == ReceiptStep::PaymentAboutToGo || step == ReceiptStep::PaymentAnswered || step == ReceiptStep::Closed;
}
